#ifndef TARVIK_PLATFORM_RESOURCE_H_
#define TARVIK_PLATFORM_RESOURCE_H_

#include <QPixmap>
#include <QString>

namespace tarvik {

// Stock images by name.
class Resource {
 public:
  // The image for "new", "edit", "trash" or "tarvik" (the program's own
  // icon): from the desktop's icon theme
  // under the freedesktop name ("document-new", "document-edit",
  // "edit-delete"), or else one of our own that reads the same, so a
  // machine without an icon theme still shows the right one. A null pixmap
  // for other names.
  static QPixmap loadPixmap(const QString& name);
};

}  // namespace tarvik

#endif  // TARVIK_PLATFORM_RESOURCE_H_
