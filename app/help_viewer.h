// The program's help: its own documents, shown from their start in a
// window of their own, with links between them followed in place.
#pragma once

#include <QTextBrowser>
#include <string>

namespace kvt::app {

class HelpViewer : public QTextBrowser {
  Q_OBJECT

 public:
  explicit HelpViewer(const std::string& doc_dir, QWidget* parent = nullptr);
  // Shows the document named `name` in the documents' folder, raised; false
  // (showing why) when it cannot be read.
  bool show_document(const std::string& name);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void retitle();

  std::string doc_dir_;
};

}  // namespace kvt::app
