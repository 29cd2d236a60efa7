#include "settings/registryaccess.h"

#include <QSettings>
#include <QString>
#include <QVariant>
#include <cerrno>
#include <cmath>
#include <limits>
#include <memory>

#include "diag/diagnostics.h"

namespace zark {
namespace {

// The live-holder count and the open keys are process-wide, used on the user-interface thread only.
int g_liveCount = 0;
std::unique_ptr<QSettings> g_keys;

QString KeyName(std::string_view group, std::string_view name) {
    QString key = QString::fromUtf8(name.data(), qsizetype(name.size()));
    if (!group.empty()) key = QString::fromUtf8(group.data(), qsizetype(group.size())) + "/" + key;
    return key;
}

constexpr std::string_view kDialogs = "Dialogs";

}  // namespace

RegistryAccess::RegistryAccess() {
    if (g_liveCount++ == 0) g_keys = std::make_unique<QSettings>(QStringLiteral("VEXA"), QStringLiteral("Zark"));
}

RegistryAccess::~RegistryAccess() {
    if (--g_liveCount == 0) g_keys.reset();
}

int RegistryAccess::LiveCount() { return g_liveCount; }
bool RegistryAccess::KeysOpen() { return g_keys != nullptr; }

void RegistryAccess::flush() {
    if (g_keys) g_keys->sync();
}

bool RegistryAccess::readText(std::string_view group, std::string_view name, std::string& text, bool logFailure) {
    if (!g_keys) return false;
    const std::string nameText(name);
    const QVariant value = g_keys->value(KeyName(group, name));
    if (!value.isValid()) {
        // A value not stored yet is normal on a first start: the program run logs it, a command-line
        // run (whose log is standard error) does not show it as an error.
        if (logFailure && !LoggingToStandardError())
            ReportError(ENOENT, "error reading registry value '%s'", nameText.c_str());
        return false;
    }
    QByteArray bytes = value.toString().toUtf8();
    if (std::size_t(bytes.size()) > kMaxValueBytes) {
        // the stored text does not fit the read buffer
        if (logFailure) ReportError(EOVERFLOW, "error reading registry value '%s'", nameText.c_str());
        return false;
    }
    text.assign(bytes.constData(), std::size_t(bytes.size()));
    return true;
}

bool RegistryAccess::writeValue(std::string_view group, std::string_view name, const QVariant& value) {
    if (!g_keys) return false;
    g_keys->setValue(KeyName(group, name), value);
    return g_keys->status() == QSettings::NoError;
}

bool RegistryAccess::readInt(std::string_view name, std::int32_t& value) {
    std::string text;
    return readText({}, name, text, true) && ParseLeadingInt(text, value);
}

bool RegistryAccess::readShort(std::string_view name, std::uint16_t& value) {
    std::int32_t number = 0;
    if (!readInt(name, number)) return false;
    value = std::uint16_t(number);
    return true;
}

bool RegistryAccess::readReal(std::string_view name, double& value) {
    std::string text;
    return readText({}, name, text, true) && ParseLeadingReal(text, value);
}

bool RegistryAccess::contains(std::string_view name) const { return g_keys && g_keys->contains(KeyName({}, name)); }

bool RegistryAccess::readString(std::string_view name, std::string& value) {
    return readText({}, name, value, true);
}

bool RegistryAccess::readColour(std::string_view name, ColourRef& value) {
    std::string text;
    if (!readText({}, name, text, true)) return false;
    // Colours are 32-bit values; the storage may hand them back as decimal text.
    bool ok = false;
    const qulonglong number = QString::fromStdString(text).trimmed().toULongLong(&ok, 0);
    if (!ok || number > std::numeric_limits<ColourRef>::max()) {
        ReportError(EINVAL, "error reading registry value '%s'", std::string(name).c_str());
        return false;
    }
    value = ColourRef(number);
    return true;
}

bool RegistryAccess::writeInt(std::string_view name, std::int32_t value) {
    return writeValue({}, name, QString::fromStdString(FormatInt(value)));
}

bool RegistryAccess::writeShort(std::string_view name, std::uint16_t value) {
    return writeValue({}, name, QString::fromStdString(FormatInt(value)));
}

bool RegistryAccess::writeReal(std::string_view name, double value) {
    return writeValue({}, name, QString::fromStdString(FormatReal(value)));
}

bool RegistryAccess::writeString(std::string_view name, std::string_view value) {
    return writeValue({}, name, QString::fromUtf8(value.data(), qsizetype(value.size())));
}

bool RegistryAccess::writeColour(std::string_view name, ColourRef value) {
    return writeValue({}, name, QVariant::fromValue(quint32(value)));
}

bool RegistryAccess::readRect(std::string_view name, Rect& rect, std::string* word) {
    std::string text;
    return readText(kDialogs, name, text, false) && ParseRect(text, rect, word);
}

bool RegistryAccess::writeRect(std::string_view name, const Rect& rect, std::string_view word) {
    return writeValue(kDialogs, name, QString::fromStdString(FormatRect(rect, word)));
}

}  // namespace zark
