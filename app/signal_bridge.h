// SIGTERM and SIGINT (a desktop logout, Ctrl-C in a terminal) reach the
// event loop as a Qt signal, so that the program closes in its usual
// order and loses neither settings nor albums. The handler only writes a
// byte to a pipe.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace kvt::app {

class SignalBridge : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers; one bridge per program.
  explicit SignalBridge(QObject* parent = nullptr);
  ~SignalBridge() override;

 signals:
  void stop_requested(int signal_number);

 private:
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kvt::app
