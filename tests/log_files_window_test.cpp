// One log per vehicle: the window turns to another log through File >
// Open…, New Log… and Open Recent, and everything that belongs to a log
// follows it, while nothing of the log it leaves is lost.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "data/file_data_source.h"
#include "support/home.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/recent_logs.h"
#include "ui/tarvik.h"

namespace tarvik {
namespace {

using testing::answer_next_modal;
using testing::choose_file;
using testing::click_button;
using testing::read_file;
using testing::scoped_home;
using testing::write_file;
using Ids = std::vector<int>;

const char* const kVan =
    "<record=7>\ncost=90;\noperation=Brake pads;\ndate=1031097600;\nmileage=120400;\n"
    "notes=Front;\n</record>\n";

class LogFiles : public ::testing::Test {
 protected:
  LogFiles() {
    recent_logs::clear();
    write_file(home.log(), testing::kExampleLog);
    write_file(van, kVan);
  }

  std::unique_ptr<Tarvik> open_window() {
    auto window = std::make_unique<Tarvik>();
    window->resize(900, 500);
    window->show();
    activate(*window);
    return window;
  }

  // As a window manager does when a dialog over the window closes, so that
  // its shortcuts work again.
  static void activate(Tarvik& window) {
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  // A shortcut, pressed with the window active.
  static void press(Tarvik& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    activate(window);
    QTest::keyClick(&window, key, modifiers);
  }

  // Ctrl+O, then the file's name given to the file dialog.
  static void open_by_keyboard(Tarvik& window, const std::string& file) {
    answer_next_modal([file](QWidget* dialog) { choose_file(dialog, QString::fromStdString(file)); });
    press(window, Qt::Key_O, Qt::ControlModifier);
  }

  static QAction* entry(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
      if (action->text() == text) return action;
    }
    return nullptr;
  }

  // The entries of File > Open Recent, as it fills itself when opened.
  static QMenu* recent_menu(Tarvik& window) {
    auto* menu = window.findChild<QMenu*>(QStringLiteral("recent_menu"));
    if (menu != nullptr) emit menu->aboutToShow();
    return menu;
  }

  static QStringList entries(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) texts << action->text();
    }
    return texts;
  }

  scoped_home home;
  testing::temp_dir other;
  const std::string van = other.file("van.txt");
};

TEST_F(LogFiles, OpeningAnotherLogShowsItAndTakesEverythingThatBelongsToIt) {
  write_file(other.file("van.due.txt"),
             "<interval=0>\noperation=Brake pads;\ndistance=30000;\n</interval>\n");
  auto window = open_window();
  QTableView* table = testing::record_table(*window);
  // A step on the first log, which must not be undoable on the second.
  testing::set_current(*table, 0, 0);
  QTest::keyClick(table, Qt::Key_Delete);
  ASSERT_EQ(FileDataSource(home.log()).identifiers(), Ids{3});

  open_by_keyboard(*window, van);
  EXPECT_EQ(window->log_path(), van);
  EXPECT_EQ(window->windowTitle(), "van.txt \u2013 Tarvik");
  EXPECT_EQ(window->row_identifiers(), Ids{7});
  EXPECT_EQ(testing::cell(*table, 0, 2), "Brake pads");
  EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("path_label"))->text(),
            QString::fromStdString(van));
  EXPECT_EQ(window->findChild<QTableWidget*>(QStringLiteral("due_table"))->rowCount(), 1)
      << "the due list is the van's";

  press(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(FileDataSource(home.log()).identifiers(), Ids{3}) << "undo reached the other log";
  EXPECT_EQ(read_file(van), kVan);

  // A change now goes to the van's log only.
  activate(*window);
  testing::set_current(*table, 0, 0);
  QTest::keyClick(table, Qt::Key_Delete);
  EXPECT_EQ(FileDataSource(van).identifiers(), Ids{});
  EXPECT_EQ(FileDataSource(home.log()).identifiers(), Ids{3});

  // Another program writing the van's log is seen; the first log is no
  // longer watched.
  write_file(van, kVan);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window->row_identifiers() == Ids{7}; }, 3000));
}

TEST_F(LogFiles, ALogThatCannotBeReadIsNotTurnedTo) {
  auto window = open_window();
  QString told;
  const std::string fifo = other.file("pipe.txt");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  answer_next_modal([&](QWidget* dialog) {
    answer_next_modal([&](QWidget* box) {
      told = static_cast<QMessageBox*>(box)->text();
      click_button(box, QStringLiteral("OK"));
    });
    choose_file(dialog, QString::fromStdString(fifo));
  });
  press(*window, Qt::Key_O, Qt::ControlModifier);
  EXPECT_TRUE(told.startsWith(QString::fromStdString(fifo) + " could not be opened"))
      << told.toStdString();
  EXPECT_EQ(window->log_path(), home.log());
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 3}));
}

TEST_F(LogFiles, NewLogMakesAnEmptyLogAndNeverReplacesOne) {
  auto window = open_window();
  QAction* new_log = testing::menu_action(*window, QStringLiteral("New Log…"));
  ASSERT_NE(new_log, nullptr);

  // A name without an ending gets ".txt", and the log is there at once.
  answer_next_modal([&](QWidget* dialog) {
    choose_file(dialog, QString::fromStdString(other.file("trailer")));
  });
  press(*window, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window->log_path(), other.file("trailer.txt"));
  EXPECT_TRUE(testing::file_exists(other.file("trailer.txt")));
  EXPECT_EQ(window->row_identifiers(), Ids{});
  EXPECT_EQ(window->windowTitle(), "trailer.txt \u2013 Tarvik");

  // The van's log exists: it is offered to be opened, and stays as it was
  // whatever the answer.
  QString asked;
  answer_next_modal([&](QWidget* dialog) {
    answer_next_modal([&](QWidget* box) {
      asked = static_cast<QMessageBox*>(box)->text();
      click_button(box, QStringLiteral("Cancel"));
    });
    choose_file(dialog, QString::fromStdString(van));
  });
  new_log->trigger();
  EXPECT_EQ(asked, QString::fromStdString(van) + " already exists. Open it instead?");
  EXPECT_EQ(window->log_path(), other.file("trailer.txt"));
  answer_next_modal([&](QWidget* dialog) {
    answer_next_modal([&](QWidget* box) { click_button(box, QStringLiteral("Open")); });
    choose_file(dialog, QString::fromStdString(van));
  });
  new_log->trigger();
  EXPECT_EQ(window->log_path(), van);
  EXPECT_EQ(read_file(van), kVan);
}

TEST_F(LogFiles, RecentLogsListTheLastOpenedFirstAndForgetOnesThatAreGone) {
  auto window = open_window();
  open_by_keyboard(*window, van);
  // Kept in the user's settings: a later window sees the same list.
  EXPECT_EQ(recent_logs::list(),
            (QStringList{QString::fromStdString(van), QString::fromStdString(home.log())}));

  QMenu* recent = recent_menu(*window);
  ASSERT_NE(recent, nullptr);
  const QStringList texts = entries(recent);
  ASSERT_EQ(texts.size(), 3) << texts.join('|').toStdString();
  EXPECT_TRUE(texts[0].startsWith("&1 van.txt")) << texts[0].toStdString();
  EXPECT_TRUE(texts[1].startsWith("&2 tarvik.txt")) << texts[1].toStdString();
  EXPECT_EQ(texts[2], "Clear Menu");
  recent->actions()[1]->trigger();
  EXPECT_EQ(window->log_path(), home.log());
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 3}));

  // The van's log moved away: picking it says so and takes it off the list.
  std::filesystem::remove(van);
  recent = recent_menu(*window);
  QString told;
  answer_next_modal([&](QWidget* box) {
    told = static_cast<QMessageBox*>(box)->text();
    click_button(box, QStringLiteral("OK"));
  });
  recent->actions()[1]->trigger();
  EXPECT_TRUE(told.contains("no longer there")) << told.toStdString();
  EXPECT_EQ(window->log_path(), home.log());
  EXPECT_EQ(recent_logs::list(), QStringList{QString::fromStdString(home.log())});

  entry(recent_menu(*window), QStringLiteral("Clear Menu"))->trigger();
  EXPECT_EQ(entries(recent_menu(*window)), QStringList{"No Recent Logs"});
}

TEST_F(LogFiles, AChangeNotSavedIsNeverLeftBehindWithoutAsking) {
  // HOME in a directory that can be taken away, so that saves fail.
  const std::string directory = home.dir().file("log-dir");
  std::filesystem::create_directory(directory);
  home.set(directory);
  const std::string log = directory + "/tarvik.txt";
  write_file(log, testing::kExampleLog);
  auto window = open_window();
  std::filesystem::remove_all(directory);
  answer_next_modal([](QWidget* box) { click_button(box, QStringLiteral("Not Now")); });
  testing::set_current(*testing::record_table(*window), 0, 0);
  QTest::keyClick(testing::record_table(*window), Qt::Key_Delete);
  ASSERT_EQ(window->row_identifiers(), Ids{3});

  // Asked; staying keeps the window on its log with the change.
  QString asked;
  answer_next_modal([&](QWidget* dialog) {
    answer_next_modal([&](QWidget* box) {
      asked = static_cast<QMessageBox*>(box)->informativeText();
      click_button(box, QStringLiteral("Cancel"));
    });
    choose_file(dialog, QString::fromStdString(van));
  });
  press(*window, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(asked, "Try to save it again before opening another log?");
  EXPECT_EQ(window->log_path(), log);
  EXPECT_EQ(window->row_identifiers(), Ids{3});

  // Saving again once it can be written: saved, then turned.
  answer_next_modal([&](QWidget* dialog) {
    answer_next_modal([&](QWidget* box) {
      std::filesystem::create_directory(directory);
      click_button(box, QStringLiteral("Try Again"));
    });
    choose_file(dialog, QString::fromStdString(van));
  });
  press(*window, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(window->log_path(), van);
  EXPECT_EQ(FileDataSource(log).identifiers(), Ids{3});
}

TEST_F(LogFiles, ExportWithAFilterOnAsksWhetherTheLogOrTheEntriesShown) {
  auto window = open_window();
  QAction* export_csv = testing::menu_action(*window, QStringLiteral("Export CSV…"));
  ASSERT_NE(export_csv, nullptr);
  const auto export_to = [&](const std::string& target, const char* choice) {
    answer_next_modal([&, choice](QWidget* box) {
      answer_next_modal([&](QWidget* dialog) { choose_file(dialog, QString::fromStdString(target)); });
      click_button(box, QLatin1String(choice));
    });
    export_csv->trigger();
  };
  testing::type_into_box(window->findChild<QLineEdit*>(QStringLiteral("search_box")),
                         QStringLiteral("tyres"));
  ASSERT_EQ(testing::record_table(*window)->model()->rowCount(), 1);

  export_to(other.file("shown.csv"), "Entries Shown");
  export_to(other.file("all.csv"), "All Entries");
  const std::string header = "Mileage,Date,Operation,Cost,Notes\r\n";
  const std::string shown = read_file(other.file("shown.csv"));
  const std::string all = read_file(other.file("all.csv"));
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 2) << shown;
  EXPECT_NE(shown.find("Tyres"), std::string::npos) << shown;
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 3) << all;
  EXPECT_NE(all.find("Oil change"), std::string::npos) << all;
}

TEST_F(LogFiles, AServiceHistoryForABuyerLeavesTheCostsOut) {
  if (testing::command_output("command -v pdftotext").empty()) GTEST_SKIP() << "no pdftotext";
  write_file(home.dir().file("tarvik.settings.txt"), "distance=mi\n");
  auto window = open_window();
  QAction* export_pdf = testing::menu_action(*window, QStringLiteral("Export PDF…"));
  ASSERT_NE(export_pdf, nullptr);
  const std::string target = other.file("history.pdf");
  answer_next_modal([&](QWidget* box) {
    answer_next_modal([&](QWidget* dialog) { choose_file(dialog, QString::fromStdString(target)); });
    click_button(box, QStringLiteral("Without Costs"));
  });
  export_pdf->trigger();
  const std::string text = testing::command_output("pdftotext -layout " + target + " -");
  EXPECT_NE(text.find("Oil change"), std::string::npos) << text;
  EXPECT_EQ(text.find("24.50"), std::string::npos) << text;
  EXPECT_EQ(text.find("Cost"), std::string::npos) << text;
  EXPECT_NE(text.find("Mileage (mi)"), std::string::npos) << text;
}

// Clicks a message box's standard button.
void press_button(QWidget* box, QMessageBox::StandardButton which) {
  auto* message = qobject_cast<QMessageBox*>(box);
  ASSERT_NE(message, nullptr) << "not a message box: " << box->windowTitle().toStdString();
  ASSERT_NE(message->button(which), nullptr);
  QTest::mouseClick(message->button(which), Qt::LeftButton);
}

TEST_F(LogFiles, NoExportWritesOverTheLogOrWhatIsKeptWithItNorIntoAFifo) {
  const std::string log = home.log();
  const std::string backup = home.dir().file("tarvik.txt.bak");
  const std::string due = home.dir().file("tarvik.due.txt");
  write_file(backup, "the old log");
  write_file(due, "# no intervals yet\n");
  ASSERT_EQ(symlink(log.c_str(), other.file("link.out").c_str()), 0);
  ASSERT_EQ(link(log.c_str(), other.file("hard.out").c_str()), 0);
  ASSERT_EQ(mkfifo(other.file("fifo.pdf").c_str(), 0644), 0);
  auto window = open_window();

  // Agrees to replace what stands at the file chosen, and takes what the
  // window says then.
  QString said;
  const auto replace_and_listen = [&] {
    said.clear();
    answer_next_modal([&](QWidget* replace) {
      answer_next_modal([&](QWidget* box) {
        said = static_cast<QMessageBox*>(box)->text();
        press_button(box, QMessageBox::Ok);
      });
      press_button(replace, QMessageBox::Yes);
    });
  };
  // Gives `target` to the file dialog that is about to show.
  const auto pick = [&](const std::string& target) {
    answer_next_modal([&, target](QWidget* dialog) {
      replace_and_listen();
      choose_file(dialog, QString::fromStdString(target));
    });
  };
  const auto export_csv = [&](const std::string& target) {
    pick(target);
    testing::menu_action(*window, QStringLiteral("Export CSV…"))->trigger();
  };
  const auto export_pdf = [&](const std::string& target) {
    answer_next_modal([&, target](QWidget* box) {
      pick(target);
      click_button(box, QStringLiteral("With Costs"));
    });
    testing::menu_action(*window, QStringLiteral("Export PDF…"))->trigger();
  };
  const auto save_chart = [&](const std::string& target) {
    answer_next_modal([&, target](QWidget* charts) {
      pick(target);
      click_button(charts, QStringLiteral("Save as PNG…"));
      static_cast<QDialog*>(charts)->reject();
    });
    testing::menu_action(*window, QStringLiteral("Charts…"))->trigger();
  };
  // Print… to a file named in the print dialog; a refused name keeps the
  // dialog open.
  const auto print_to = [&](const std::string& target, bool refused) {
    answer_next_modal([&, target, refused](QWidget* box) {
      answer_next_modal([&, target, refused](QWidget* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        ASSERT_NE(name, nullptr);
        // Pasted: typed, the name's completer would take the keys.
        QGuiApplication::clipboard()->setText(QString::fromStdString(target));
        QTest::mouseClick(name, Qt::LeftButton);
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
        said.clear();
        if (!refused) {
          click_button(dialog, QStringLiteral("&Print"));
          return;
        }
        answer_next_modal([&](QWidget* refusal) {
          said = static_cast<QMessageBox*>(refusal)->text();
          press_button(refusal, QMessageBox::Ok);
        });
        click_button(dialog, QStringLiteral("&Print"));
        EXPECT_TRUE(dialog->isVisible());
        click_button(dialog, QStringLiteral("Cancel"));
      });
      click_button(box, QStringLiteral("Without Costs"));
    });
    testing::menu_action(*window, QStringLiteral("Print…"))->trigger();
  };

  const QString kept = QStringLiteral(", which an export never replaces. Choose another file.");
  const QString itself = QStringLiteral(": it is the log itself") + kept;
  // The log by its name, through a symbolic link and as a hard link.
  const std::vector<std::string> the_log{log, other.file("link.out"), other.file("hard.out")};
  for (const std::string& target : the_log) {
    export_csv(target);
    EXPECT_EQ(said, QString::fromStdString(target + " is not written") + itself);
    export_pdf(target);
    EXPECT_EQ(said, QString::fromStdString(target + " is not written") + itself);
  }
  export_csv(backup);
  EXPECT_EQ(said, QString::fromStdString(backup + " is not written: it is a backup of the log") + kept);
  export_csv(due);
  EXPECT_EQ(said, QString::fromStdString(due + " is not written: it is the log's service intervals") +
                      kept);
  // The window would wait for a reader of the FIFO for good.
  export_pdf(other.file("fifo.pdf"));
  EXPECT_EQ(said, QString::fromStdString(other.file("fifo.pdf") +
                                         " is not written: Is a FIFO, not a regular file."));
  save_chart(other.file("hard.out"));
  EXPECT_EQ(said, QString::fromStdString(other.file("hard.out") + " is not written") + itself);
  print_to(other.file("link.out"), true);
  EXPECT_EQ(said, QString::fromStdString(other.file("link.out") + " is not written") + itself);
  print_to(other.file("fifo.pdf"), true);
  EXPECT_EQ(said, QString::fromStdString(other.file("fifo.pdf") +
                                         " is not written: Is a FIFO, not a regular file."));
  // A file of its own is printed to as ever.
  print_to(other.file("printed.pdf"), false);
  EXPECT_EQ(testing::read_file(other.file("printed.pdf")).substr(0, 5), "%PDF-");

  EXPECT_EQ(testing::read_file(log), testing::kExampleLog);
  EXPECT_EQ(testing::read_file(backup), "the old log");
  EXPECT_EQ(testing::read_file(due), "# no intervals yet\n");
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 3}));
}

TEST_F(LogFiles, OpeningTheLogShownKeepsItsUndoSteps) {
  auto window = open_window();
  QTableView* table = testing::record_table(*window);
  testing::set_current(*table, 0, 0);
  QTest::keyClick(table, Qt::Key_Delete);
  ASSERT_EQ(window->row_identifiers(), Ids{3});
  open_by_keyboard(*window, home.log());
  press(*window, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(window->row_identifiers(), (Ids{0, 3}));
  EXPECT_EQ(FileDataSource(home.log()).identifiers(), (Ids{0, 3}));
}

}  // namespace
}  // namespace tarvik
