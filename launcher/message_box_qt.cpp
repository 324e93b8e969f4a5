// The failure box. Qt is started only here, when a failure is to be shown on a display; a
// successful launch never creates a QApplication.
#include <QApplication>
#include <QMessageBox>

#include "launcher/launcher_platform.h"

void launcher_message_box(const std::string& text) {
  int argc = 1;
  char name[] = "velox";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"),
                  QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())));
  box.setTextFormat(Qt::PlainText);
  box.exec();
}
