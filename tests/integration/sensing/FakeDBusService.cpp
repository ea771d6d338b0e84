#include "FakeDBusService.h"

#include <QAtomicInteger>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QMutexLocker>

namespace lumatide {

class FakeDBusService::Object final : public QDBusVirtualObject {
public:
    explicit Object(Handler handler) : handler_(std::move(handler)) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.type() != QDBusMessage::MethodCallMessage) {
            return false;
        }
        const auto arguments = handler_(message);
        if (arguments) {
            connection.send(message.createReply(*arguments));
        } else {
            const QMutexLocker lock(&mutex_);
            held_.append(message);
        }
        return true;
    }

    // The late answers of a service that hung.
    void answerHeldCalls(const QDBusConnection& connection) {
        const QMutexLocker lock(&mutex_);
        for (const QDBusMessage& message : std::as_const(held_)) {
            connection.send(message.createReply());
        }
        held_.clear();
    }

private:
    Handler handler_;
    QMutex mutex_;
    QList<QDBusMessage> held_;
};

namespace {
QAtomicInteger<int> fakeCount = 0;
}

FakeDBusService::FakeDBusService(const QString& serviceName, const QString& rootPath,
                                 Handler handler, const QString& busAddress)
    : connectionName_(QStringLiteral("fake-service-%1").arg(fakeCount.fetchAndAddRelaxed(1))),
      object_(std::make_unique<Object>(std::move(handler))) {
    thread_.start();
    object_->moveToThread(&thread_);
    // Registered from the worker thread, which then owns whatever helpers registration makes.
    QMetaObject::invokeMethod(
        object_.get(),
        [&] {
            QDBusConnection connection =
                busAddress.isEmpty()
                    ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_)
                    : QDBusConnection::connectToBus(busAddress, connectionName_);
            serving_ = connection.isConnected() &&
                       connection.registerVirtualObject(rootPath, object_.get(),
                                                        QDBusConnection::SubPath) &&
                       connection.registerService(serviceName);
        },
        Qt::BlockingQueuedConnection);
}

FakeDBusService::~FakeDBusService() {
    {
        QDBusConnection connection(connectionName_);
        object_->answerHeldCalls(connection);
    }
    QDBusConnection::disconnectFromBus(connectionName_);
    thread_.quit();
    thread_.wait();
}

QList<QVariant> FakeDBusService::propertyReply(const QVariant& value) {
    return {QVariant::fromValue(QDBusVariant(value))};
}

} // namespace lumatide
