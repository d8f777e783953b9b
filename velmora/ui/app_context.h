#pragma once
// What a window needs from the program, handed to it instead of reached
// through globals: the data module, the dialog service, the settings store,
// the clock, and the shared variables the windows pass between them.
#include <QDateTime>
#include <QSettings>
#include <QString>
#include <memory>

class TFData;
class DialogService;

// The program's string values under "Quenlo" (the registry on the original
// platform): each call reads or writes one value.
class RegSetting {
public:
    // Production: QSettings of organisation "Quenlo"; tests pass an INI file.
    RegSetting();
    explicit RegSetting(const QString &iniFile);

    QString read(const QString &name) const; // empty when absent
    void write(const QString &name, const QString &value);
    bool contains(const QString &name) const;
    void remove(const QString &name);
    // The original call: mode 0 reads name into result, mode 1 writes value.
    void operator()(const QString &value, const QString &name, int mode, QString &result);

private:
    std::unique_ptr<QSettings> settings_;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
    // Sets the computer's local clock; false when refused.
    virtual bool setLocalTime(const QDateTime &when);
};

struct SharedVars {
    QString CurClerkID;
    QString SelMerchandiseID;
    QString SelMerchandiseName;
    QString SelMerchandiseTypeName;
    QString SelItemID;
    QString SelItemName;
};

// Who logged in during this run. The permission check answers for this user;
// the settings' SystemName is written at login as before, but editing it by
// hand grants nothing.
struct Session {
    QString userName;
    QString purviewName;
};

struct AppContext {
    TFData &data;
    DialogService &dialogs;
    RegSetting &settings;
    Clock &clock;
    SharedVars vars;
    QString programFolder; // where report/ and help/ live
    Session session;
};
