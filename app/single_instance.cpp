#include "single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace kvt::app {

namespace {

constexpr int kConnectMs = 1000;
// The earlier program writes its settings and albums before it ends.
constexpr int kCloseWaitMs = 15000;

const QByteArray kRaise = "raise\n";
const QByteArray kClose = "close\n";

}  // namespace

SingleInstance::SingleInstance(QString socket_path, QObject* parent)
    : QObject(parent), socket_path_(std::move(socket_path)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::default_socket_path(const QString& config_dir) {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = config_dir;
  return dir + QStringLiteral("/kvt97.instance");
}

SingleInstance::Claim SingleInstance::claim(bool with_file) {
  QLocalSocket other;
  other.connectToServer(socket_path_);
  Claim claim = Claim::first;
  if (other.waitForConnected(kConnectMs)) {
    other.write(with_file ? kClose : kRaise);
    other.waitForBytesWritten(kConnectMs);
    if (!with_file) return Claim::raised_other;
    // The earlier program's connection ends with the program.
    while (other.state() == QLocalSocket::ConnectedState && other.waitForReadyRead(kCloseWaitMs)) other.readAll();
    claim = Claim::replaced_other;
  }
  listen();
  return claim;
}

void SingleInstance::listen() {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(socket_path_);  // left by a program that did not end cleanly
  server_->listen(socket_path_);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::answer_next);
}

void SingleInstance::answer_next() {
  while (QLocalSocket* later = server_->nextPendingConnection()) {
    // Kept open until this program ends, so that a later one waiting for
    // it to close sees when it has.
    connect(later, &QLocalSocket::readyRead, this, [this, later] {
      while (later->canReadLine()) {
        const QByteArray line = later->readLine();
        if (line == kRaise) emit raise_requested();
        if (line == kClose) emit close_requested();
      }
    });
    connect(later, &QLocalSocket::disconnected, later, &QObject::deleteLater);
  }
}

}  // namespace kvt::app
