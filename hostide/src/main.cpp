// The stand-in IDE: serves its host objects, registers the components it
// finds and runs them from its menu.
#include "mainwindow.h"

#include "hostide/host.h"

#include "com/registry.h"
#include "com/util.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <dlfcn.h>

#include <cstdio>

namespace {

HRESULT registerComponent(const QString &path)
{
    void *lib = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        std::fprintf(stderr, "hostide: cannot load %s: %s\n", qPrintable(path), dlerror());
        return CO_E_DLLNOTFOUND;
    }
    auto reg = reinterpret_cast<PFN_DllRegisterServer>(dlsym(lib, "DllRegisterServer"));
    const HRESULT hr = reg ? reg() : CO_E_ERRORINDLL;
    dlclose(lib);
    return hr;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Karrowin"));
    QApplication::setApplicationName(QStringLiteral("hostide"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Stand-in IDE for the Karrowin Developer components"));
    parser.addHelpOption();
    QCommandLineOption settings(QStringLiteral("settings"), QStringLiteral("The IDE's settings file."),
                                QStringLiteral("file"));
    QCommandLineOption reg(QStringLiteral("register"), QStringLiteral("Register a component library (repeatable)."),
                           QStringLiteral("library"));
    parser.addOption(settings);
    parser.addOption(reg);
    parser.process(app);

    CoInitialize(nullptr);
    QString settingsFile = parser.value(settings);
    if (settingsFile.isEmpty())
        settingsFile = qEnvironmentVariable("HOSTIDE_SETTINGS");
    if (settingsFile.isEmpty())
        settingsFile = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
                       QStringLiteral("/hostide.ini");
    QDir().mkpath(QFileInfo(settingsFile).absolutePath());

    int rc = 0;
    {
        hostide::Host host(settingsFile);
        if (host.text(QStringLiteral("ProgramFolder")).isEmpty())
            host.setValue(QStringLiteral("ProgramFolder"), QApplication::applicationDirPath() + QStringLiteral("/program"));
        QString logFolder = host.text(QStringLiteral("LogFolder"));
        if (logFolder.isEmpty()) {
            logFolder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/log");
            host.setValue(QStringLiteral("LogFolder"), logFolder);
        }
        QDir().mkpath(logFolder);
        // Where the components append their log "kride.log".
        com::registry::writeString(HKEY_LOCAL_MACHINE, "Software\\Karrowin\\Developer\\8.0", "Install Location",
                                   logFolder.toStdString());
        host.registerObjects(QApplication::applicationFilePath().toStdString());
        host.failFromText(qEnvironmentVariable("HOSTIDE_FAIL"));

        QStringList components = parser.values(reg);
        const QString built = QStringLiteral(HOSTIDE_COMPONENT_DIR "/dorvane.so");
        if (components.isEmpty() && !com::registry::keyExists(HKEY_CLASSES_ROOT, "KRWI.ToolsOptions") &&
            QFileInfo::exists(built))
            components << built;

        MainWindow window(host);
        for (const QString &c : components) {
            const HRESULT hr = registerComponent(QFileInfo(c).absoluteFilePath());
            window.output(QStringLiteral("Registering %1: 0x%2").arg(c).arg(quint32(hr), 8, 16, QLatin1Char('0')));
        }
        window.output(QStringLiteral("Settings: %1").arg(settingsFile));
        window.output(QStringLiteral("Log folder: %1").arg(logFolder));
        window.output(QStringLiteral("Registry: %1").arg(QString::fromStdString(com::registry::filePath())));
        window.show();
        rc = app.exec();
        host.revoke();
    }
    CoFreeUnusedLibraries();
    CoUninitialize();
    return rc;
}
