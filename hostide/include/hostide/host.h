// The stand-in IDE's host objects: AppSettings (with OptionSettings,
// ExtraSettings and SuiteInfo), the object manager with "pApp", and the
// application, services and shell behind it. Values live in a settings
// file. Every call is recorded in order; any call can be made to fail.
#pragma once

#include "com/types.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace hostide {

struct Failure {
    HRESULT hr;
    std::string description; // empty: no error information
};

class Host {
public:
    // settingsFile: the INI file that keeps every value.
    explicit Host(const QString &settingsFile);
    ~Host();
    Host(const Host &) = delete;
    Host &operator=(const Host &) = delete;

    // Writes the ProgIDs and class keys and makes the class objects
    // available to CoCreateInstance; revoke() undoes the latter.
    HRESULT registerObjects(const std::string &serverPath);
    void revoke();

    // Calls as "Interface.operation", puts with their value:
    // "OptionSettings.put_HelpOnTop(-1)", "AppSettings.put_NavFile(\"x\")".
    const std::vector<std::string> &calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    // Calls named so ("OptionSettings.get_HelpOnTop") fail from now on.
    void failOn(const std::string &call, HRESULT hr, const std::string &description = {});
    void clearFailures() { m_failures.clear(); }
    // Reads failures from text "Op=0x800407D0:description;Op2=..." (the
    // host program's HOSTIDE_FAIL).
    void failFromText(const QString &text);

    // Settings by name ("HelpOnTop", "NavFile", "ProgramFolder", ...);
    // booleans are kept as -1 and 0.
    void setValue(const QString &name, const QString &value);
    QString text(const QString &name) const;
    int number(const QString &name) const;

    QString settingsFile() const;

    // A project open in the IDE (empty path: none).
    void setOpenProject(const QString &path) { m_openProject = path; }
    QString openProject() const { return m_openProject; }
    // Makes "pApp" answer with something that is not an interface pointer.
    void setBrokenObjectManager(bool broken) { m_brokenObjMgr = broken; }
    bool brokenObjectManager() const { return m_brokenObjMgr; }

    // What the shell does with its output, status and progress.
    std::function<void(const QString &)> onOutput;
    std::function<void(const QString &pane, const QString &text)> onStatusText;
    std::function<void(int)> onProgressMax;
    std::function<void(int)> onProgressPos;

    // Records a call; returns its failure (after leaving the error
    // information) or S_OK.
    HRESULT enter(const std::string &call, const std::string &args = {});

private:
    class Store;
    std::unique_ptr<Store> m_store;
    std::vector<std::string> m_calls;
    std::map<std::string, Failure> m_failures;
    QString m_openProject;
    bool m_brokenObjMgr = false;
    std::vector<DWORD> m_cookies;
};

} // namespace hostide
