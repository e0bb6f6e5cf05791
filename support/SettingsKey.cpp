#include "support/SettingsKey.h"

#include <QSettings>
#include <QString>
#include <QStringList>

namespace {

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString KeyPath(const std::string& group, std::string_view name)
{
    return group.empty() ? ToQString(name) : ToQString(group) + QLatin1Char('/') + ToQString(name);
}

}  // namespace

CSettingsKey::CSettingsKey(std::string_view subkey)
    : CSettingsKey(kSettingsApplication, subkey)
{
}

CSettingsKey::CSettingsKey(std::string_view application, std::string_view group)
    : settings_(std::make_unique<QSettings>(ToQString(kSettingsOrganisation), ToQString(application)))
    , group_(group)
{
}

CSettingsKey CSettingsKey::Common(std::string_view subkey)
{
    return CSettingsKey("Common", subkey);
}

CSettingsKey::~CSettingsKey() = default;
CSettingsKey::CSettingsKey(CSettingsKey&&) noexcept = default;
CSettingsKey& CSettingsKey::operator=(CSettingsKey&&) noexcept = default;

CSettingsKey CSettingsKey::SubKey(std::string_view name) const
{
    CSettingsKey key(settings_->applicationName().toStdString(), {});
    key.group_ = group_.empty() ? std::string(name) : group_ + "/" + std::string(name);
    return key;
}

bool CSettingsKey::ReadDword(std::string_view name, std::uint32_t& value) const
{
    const QVariant stored = settings_->value(KeyPath(group_, name));
    if (!stored.isValid())
        return false;
    bool ok = false;
    const qulonglong number = stored.toString().toULongLong(&ok, 0);
    if (!ok || number > 0xFFFFFFFFull)
        return false;
    value = static_cast<std::uint32_t>(number);
    return true;
}

bool CSettingsKey::ReadDword(std::string_view name, std::int32_t& value) const
{
    std::uint32_t raw = 0;
    if (!ReadDword(name, raw))
        return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool CSettingsKey::ReadString(std::string_view name, std::string& value) const
{
    const QVariant stored = settings_->value(KeyPath(group_, name));
    if (!stored.isValid() || !stored.canConvert<QString>())
        return false;
    value = stored.toString().toStdString();
    return true;
}

bool CSettingsKey::ReadMultiString(std::string_view name, std::vector<std::string>& values) const
{
    const QVariant stored = settings_->value(KeyPath(group_, name));
    if (!stored.isValid() || !stored.canConvert<QStringList>())
        return false;
    values.clear();
    for (const QString& entry : stored.toStringList())
        values.push_back(entry.toStdString());
    return true;
}

void CSettingsKey::WriteDword(std::string_view name, std::uint32_t value)
{
    settings_->setValue(KeyPath(group_, name), QVariant::fromValue<quint32>(value));
}

void CSettingsKey::WriteString(std::string_view name, std::string_view value)
{
    settings_->setValue(KeyPath(group_, name), ToQString(value));
}

void CSettingsKey::WriteMultiString(std::string_view name, const std::vector<std::string>& values)
{
    QStringList list;
    for (const std::string& entry : values)
        list.append(ToQString(entry));
    settings_->setValue(KeyPath(group_, name), list);
}

void CSettingsKey::Remove(std::string_view name)
{
    settings_->remove(KeyPath(group_, name));
}

void CSettingsKey::Sync()
{
    settings_->sync();
}
