#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <thread>

struct mosquitto;
struct mosquitto_message;

namespace zark {

// Where and as whom a client connects to the range's broker.
struct BrokerOptions {
    QString host = QStringLiteral("localhost");
    int port = 1883;
    bool tls = false;
    QString caFile;  // the club's CA; empty: the system's certificates
    QString user;
    QString password;
    QString clientId;
    // Off: the broker keeps the session (subscriptions, queued QoS 1 messages) while the client is away.
    bool cleanSession = false;
    QString willTopic;  // empty: no last will
    QByteArray willPayload;
    int keepAliveSeconds = 10;
};

// A client of the broker on libmosquitto. The library's own network thread (mosquitto_loop_start)
// does every read, write and reconnect; what it reports reaches this object on the thread it lives
// on as queued calls, in order. Nothing here waits for the network: a QoS 1 or 2 message published
// while the broker is away is queued by the library and delivered once after the reconnect, a
// QoS 0 message is dropped.
class RangeClient final : public QObject {
    Q_OBJECT

public:
    explicit RangeClient(QObject* parent = nullptr);
    ~RangeClient() override;

    // Connects (in the background) and keeps reconnecting until Stop or destruction. False when the
    // options cannot be used (the reason in Error()).
    bool Start(const BrokerOptions& options);
    // Disconnects cleanly (no last will) and stops the network thread.
    void Stop();

    // Queues a message; false when it was refused at once (too large, a bad topic, or QoS 0 while
    // disconnected). Never called twice for the same message: the library redelivers.
    bool Publish(const QString& topic, const QByteArray& payload, int qos, bool retain);
    // Subscriptions are kept and made again after every reconnect.
    void Subscribe(const QString& pattern, int qos);
    void Unsubscribe(const QString& pattern);

    bool IsConnected() const { return connected_; }
    const QString& Error() const { return error_; }
    // Messages this client's publish calls handed over to the library.
    std::int64_t PublishedCount() const { return published_; }

signals:
    void Connected();
    // rc: the library's reason (0 a wanted disconnect).
    void Disconnected(int rc);
    void MessageReceived(const QString& topic, const QByteArray& payload);

private:
    static void OnConnect(mosquitto*, void* self, int rc);
    static void OnDisconnect(mosquitto*, void* self, int rc);
    static void OnMessage(mosquitto*, void* self, const mosquitto_message* message);
    void HandleConnect(int rc);
    void HandleDisconnect(int rc);

    mosquitto* mosq_ = nullptr;
    std::thread starter_;  // the first connect resolves the host name: off the caller's thread
    std::atomic<bool> connected_{false};
    bool running_ = false;
    QString error_;
    QStringList patterns_;
    QList<int> qos_;
    std::int64_t published_ = 0;
};

// The library's text for one of its result codes.
QString BrokerErrorText(int rc);

}  // namespace zark
