#include "app_context.h"

#include <ctime>

namespace {
const QString kGroup = QStringLiteral("Quenlo");
}

RegSetting::RegSetting() : settings_(std::make_unique<QSettings>(QStringLiteral("Quenlo"), QStringLiteral("Velmora"))) {}

RegSetting::RegSetting(const QString &iniFile) : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

QString RegSetting::read(const QString &name) const { return settings_->value(kGroup + u'/' + name).toString(); }

void RegSetting::write(const QString &name, const QString &value)
{
    settings_->setValue(kGroup + u'/' + name, value);
    settings_->sync();
}

bool RegSetting::contains(const QString &name) const { return settings_->contains(kGroup + u'/' + name); }

void RegSetting::remove(const QString &name)
{
    settings_->remove(kGroup + u'/' + name);
    settings_->sync();
}

void RegSetting::operator()(const QString &value, const QString &name, int mode, QString &result)
{
    if (mode == 0)
        result = read(name);
    else if (mode == 1)
        write(name, value);
}

bool Clock::setLocalTime(const QDateTime &when)
{
    timespec ts{};
    ts.tv_sec = when.toSecsSinceEpoch();
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
}
