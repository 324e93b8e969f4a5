// The toolkit's own multi-line text fields.
//
// "cwl_OutputView": the multi-line output field of edit fields created with kEditStream. Workers
// stream long texts into it (the primes of an interval come as one line of megabytes), and a
// text document lays out a paragraph as a whole: appending to one huge paragraph costs time in
// proportion to all of it. The view therefore ends a paragraph softly after a blank once it has
// grown past a few hundred characters; word wrap hides where, and the soft breaks are not part
// of the text (plain_text and the clipboard leave them out).
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringView>

class QKeyEvent;

// "cwl_MultiLineEdit": the plain multi-line edit field. Like a single-line field it takes at most
// a number of characters (32,767 until set), by typing, pasting or dropping: a text document
// lays a line out as a whole, and a pasted line of a megabyte would keep the window busy for
// minutes.
class cwl_MultiLineEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit cwl_MultiLineEdit(QWidget* parent) : QPlainTextEdit(parent) {}
  void set_limit(int characters) { limit_ = characters; }

 protected:
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  // Characters that may still come in, the selection counting as free.
  qsizetype room() const;
  int limit_ = 32767;
};

class cwl_OutputView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit cwl_OutputView(QWidget* parent);

  // Appends at the end ("\r\n" and "\n" end a line), keeping the view at the end when it was
  // there; the user's selection stays.
  void append(QStringView text);
  // The text, lines ended by "\n", without the soft breaks.
  QString plain_text() const;
  void set_plain_text(QStringView text);

  // Characters after which a paragraph ends at the next blank.
  static constexpr int kSoftLength = 512;

 protected:
  QMimeData* createMimeDataFromSelection() const override;

 private:
  bool pending_cr_ = false;  // a "\r" ended the last piece; a "\n" may follow
};
