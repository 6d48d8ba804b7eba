// One running program per user: a later start finds the earlier one
// through a local socket in the user's runtime directory. Without a file
// it brings the earlier window to the front and ends; with a file it asks
// the earlier program to close (which saves its settings and albums),
// waits until it has, and carries on.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace kvt::app {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Claim { first, raised_other, replaced_other };

  // `socket_path`: where the instances meet.
  explicit SingleInstance(QString socket_path, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Meets an earlier instance, if any, as above (with_file: a file was
  // named on the command line), then listens for later ones.
  Claim claim(bool with_file);

  // The usual meeting place: the runtime directory, else the
  // configuration directory.
  static QString default_socket_path(const QString& config_dir);

 signals:
  void raise_requested();
  void close_requested();

 private:
  void listen();
  void answer_next();

  QString socket_path_;
  QLocalServer* server_ = nullptr;
};

}  // namespace kvt::app
