#pragma once

#include <QDBusMessage>
#include <QList>
#include <QString>
#include <QThread>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace lumatide {

// A D-Bus service on a connection of its own whose calls are answered on a worker thread, so the
// code under test may block the main thread while it waits for them, as it does in the program.
// The handler sees every method call to the root path or below it and returns the reply
// arguments, or nothing to leave the caller waiting: such a reply is held back and only sent
// when the fake goes away (a service that hangs). The handler runs on another thread: whatever
// state it shares with the test must be guarded.
class FakeDBusService final {
public:
    using Handler = std::function<std::optional<QList<QVariant>>(const QDBusMessage& call)>;

    // connectionName tells fakes apart; busAddress is the session bus unless given.
    FakeDBusService(const QString& serviceName, const QString& rootPath, Handler handler,
                    const QString& busAddress = {});
    ~FakeDBusService();
    FakeDBusService(const FakeDBusService&) = delete;
    FakeDBusService& operator=(const FakeDBusService&) = delete;

    // True once the service name is owned and the object registered.
    bool isServing() const { return serving_; }

    // Reply arguments for org.freedesktop.DBus.Properties.Get.
    static QList<QVariant> propertyReply(const QVariant& value);

private:
    class Object;

    QString connectionName_;
    QThread thread_;
    std::unique_ptr<Object> object_;
    bool serving_ = false;
};

} // namespace lumatide
