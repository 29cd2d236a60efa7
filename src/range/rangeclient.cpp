#include "range/rangeclient.h"

#include <QFileInfo>
#include <QMetaObject>
#include <mosquitto.h>
#include <mutex>

#include "diag/diagnostics.h"
#include "range/rangemessages.h"

namespace zark {
namespace {

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

}  // namespace

QString BrokerErrorText(int rc) { return QString::fromUtf8(mosquitto_strerror(rc)); }

RangeClient::RangeClient(QObject* parent) : QObject(parent) { InitLibrary(); }

RangeClient::~RangeClient() { Stop(); }

bool RangeClient::Start(const BrokerOptions& o) {
    Stop();
    error_.clear();
    const QByteArray id = o.clientId.toUtf8();
    mosq_ = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), id.isEmpty() ? true : o.cleanSession, this);
    if (!mosq_) {
        error_ = QStringLiteral("the client cannot be made");
        return false;
    }
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(mosq_, &RangeClient::OnConnect);
    mosquitto_disconnect_callback_set(mosq_, &RangeClient::OnDisconnect);
    mosquitto_message_callback_set(mosq_, &RangeClient::OnMessage);
    mosquitto_reconnect_delay_set(mosq_, 1, 8, true);
    // Up to this many QoS 1 messages are in flight; the rest wait in the library's queue in order.
    mosquitto_max_inflight_messages_set(mosq_, 100);
    int rc = MOSQ_ERR_SUCCESS;
    if (!o.user.isEmpty())
        rc = mosquitto_username_pw_set(mosq_, o.user.toUtf8().constData(),
                                       o.password.isEmpty() ? nullptr : o.password.toUtf8().constData());
    if (rc == MOSQ_ERR_SUCCESS && o.tls) {
        const QByteArray ca = o.caFile.toLocal8Bit();
        if (!ca.isEmpty() && !QFileInfo(o.caFile).isReadable()) {
            error_ = QStringLiteral("the CA file '%1' cannot be read").arg(o.caFile);
        } else {
            rc = ca.isEmpty() ? mosquitto_tls_set(mosq_, nullptr, "/etc/ssl/certs", nullptr, nullptr, nullptr)
                              : mosquitto_tls_set(mosq_, ca.constData(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    if (rc == MOSQ_ERR_SUCCESS && error_.isEmpty() && !o.willTopic.isEmpty()) {
        const QByteArray topic = o.willTopic.toUtf8();
        rc = mosquitto_will_set(mosq_, topic.constData(), int(o.willPayload.size()), o.willPayload.constData(), 1, true);
    }
    if (rc != MOSQ_ERR_SUCCESS || !error_.isEmpty()) {
        if (error_.isEmpty()) error_ = BrokerErrorText(rc);
        mosquitto_destroy(mosq_);
        mosq_ = nullptr;
        return false;
    }
    running_ = true;
    const QByteArray host = o.host.toUtf8();
    const int port = o.port, keepAlive = o.keepAliveSeconds;
    mosquitto* m = mosq_;
    starter_ = std::thread([m, host, port, keepAlive] {
        // A refused first connect is retried by the network thread like any lost connection.
        const int rc = mosquitto_connect_async(m, host.constData(), port, keepAlive);
        if (rc != MOSQ_ERR_SUCCESS) LogLine("range: connecting to %s:%d: %s\n", host.constData(), port, mosquitto_strerror(rc));
        // the network thread; it also makes every call of the library safe from other threads
        if (const int started = mosquitto_loop_start(m); started != MOSQ_ERR_SUCCESS)
            LogLine("range: the network thread did not start: %s\n", mosquitto_strerror(started));
    });
    return true;
}

void RangeClient::Stop() {
    if (!mosq_) return;
    if (starter_.joinable()) starter_.join();
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    mosquitto_destroy(mosq_);
    mosq_ = nullptr;
    running_ = false;
    if (connected_.exchange(false)) emit Disconnected(0);
}

bool RangeClient::Publish(const QString& topic, const QByteArray& payload, int qos, bool retain) {
    if (!mosq_) return false;
    if (qos == 0 && !connected_) return false;
    const QByteArray t = topic.toUtf8();
    const int rc = mosquitto_publish(mosq_, nullptr, t.constData(), int(payload.size()), payload.constData(), qos, retain);
    // Without a connection a QoS 1 message is queued all the same and sent after the reconnect.
    if (rc == MOSQ_ERR_SUCCESS || (rc == MOSQ_ERR_NO_CONN && qos > 0)) {
        ++published_;
        return true;
    }
    return false;
}

void RangeClient::Subscribe(const QString& pattern, int qos) {
    const int at = patterns_.indexOf(pattern);
    if (at >= 0) qos_[at] = qos;
    else {
        patterns_.append(pattern);
        qos_.append(qos);
    }
    if (mosq_ && connected_) mosquitto_subscribe(mosq_, nullptr, pattern.toUtf8().constData(), qos);
}

void RangeClient::Unsubscribe(const QString& pattern) {
    const int at = patterns_.indexOf(pattern);
    if (at < 0) return;
    patterns_.removeAt(at);
    qos_.removeAt(at);
    if (mosq_ && connected_) mosquitto_unsubscribe(mosq_, nullptr, pattern.toUtf8().constData());
}

// The callbacks run on the network thread: they only hand over to the object's own thread.
void RangeClient::OnConnect(mosquitto*, void* self, int rc) {
    auto* client = static_cast<RangeClient*>(self);
    QMetaObject::invokeMethod(client, [client, rc] { client->HandleConnect(rc); }, Qt::QueuedConnection);
}

void RangeClient::OnDisconnect(mosquitto*, void* self, int rc) {
    auto* client = static_cast<RangeClient*>(self);
    QMetaObject::invokeMethod(client, [client, rc] { client->HandleDisconnect(rc); }, Qt::QueuedConnection);
}

void RangeClient::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
    auto* client = static_cast<RangeClient*>(self);
    const QString topic = QString::fromUtf8(message->topic);
    // A message beyond what any message may be is cut here, so it is never copied whole; the
    // decoders refuse it by its size.
    const int length = std::min(message->payloadlen, kMaxSeriesMessageBytes + 1);
    const QByteArray payload(static_cast<const char*>(message->payload), length);
    QMetaObject::invokeMethod(
        client, [client, topic, payload] { emit client->MessageReceived(topic, payload); }, Qt::QueuedConnection);
}

void RangeClient::HandleConnect(int rc) {
    if (!mosq_) return;
    if (rc != 0) {
        // refused: bad user or password, not authorised; the library keeps trying
        const QString why = QString::fromUtf8(mosquitto_connack_string(rc));
        if (why != error_) LogLine("range: the broker refused the connection: %s\n", qPrintable(why));
        error_ = why;
        return;
    }
    error_.clear();
    connected_ = true;
    for (int i = 0; i < patterns_.size(); ++i) mosquitto_subscribe(mosq_, nullptr, patterns_[i].toUtf8().constData(), qos_[i]);
    emit Connected();
}

void RangeClient::HandleDisconnect(int rc) {
    if (!connected_.exchange(false)) return;
    if (rc != 0) LogLine("range: connection to the broker lost: %s\n", qPrintable(BrokerErrorText(rc)));
    emit Disconnected(rc);
}

}  // namespace zark
