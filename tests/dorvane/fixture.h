// The options component loaded as the IDE loads it, against a recording host.
#pragma once

#include "com/registry.h"
#include "com/tempregistry.h"
#include "com/util.h"
#include "fakedialogs.h"
#include "hostide/host.h"
#include "modal.h"
#include "plinth/propsheet.h"

#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>

#include <dlfcn.h>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = std::make_unique<hostide::Host>(dir.filePath("ide.ini"));
        ASSERT_EQ(host->registerObjects("hostide"), S_OK);
        QDir(dir.path()).mkpath("program");
        QDir(dir.path()).mkpath("log");
        host->setValue("ProgramFolder", programFolder());
        com::registry::writeString(HKEY_LOCAL_MACHINE, "Software\\Karrowin\\Developer\\8.0", "Install Location",
                                   logFolder().toStdString());
        lib = dlopen(DORVANE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        ASSERT_EQ(callExport("DllRegisterServer"), S_OK);
    }

    void TearDown() override
    {
        host->revoke();
        if (lib)
            dlclose(lib);
        CoFreeUnusedLibraries();
    }

    HRESULT callExport(const char *name)
    {
        auto fn = reinterpret_cast<PFN_DllRegisterServer>(dlsym(lib, name));
        return fn ? fn() : E_FAIL;
    }

    QString programFolder() const { return dir.filePath("program"); }
    QString logFolder() const { return dir.filePath("log"); }
    QString logFile() const { return dir.filePath("log/kride.log"); }
    QByteArray logText() const
    {
        QFile f(logFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void writeNav(const QString &name, const QByteArray &text = "[General]\nNavDesc=A style\n")
    {
        QFile f(QDir(programFolder()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    HRESULT create(IDispatch **out)
    {
        CLSID clsid;
        HRESULT hr = CLSIDFromProgID(CComBSTR("KRWI.ToolsOptions"), &clsid);
        if (FAILED(hr))
            return hr;
        return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void **>(out));
    }

    // Calls ShowWizard through dispatch and runs `during` on the open sheet.
    HRESULT showWizard(std::function<void(CKRPropertySheetEx *)> during)
    {
        CComPtr<IDispatch> options;
        HRESULT hr = create(&options);
        if (FAILED(hr))
            return hr;
        CComBSTR name("ShowWizard");
        LPOLESTR names[] = {name};
        DISPID id = 0;
        hr = options->GetIDsOfNames(GUID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr))
            return hr;
        host->clearCalls();
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        return runModal(
            [&] { return options->Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                                         nullptr, nullptr); },
            [&](QWidget *w) {
                auto *sheet = qobject_cast<CKRPropertySheetEx *>(w);
                ASSERT_NE(sheet, nullptr);
                during(sheet);
            });
    }

    // Opens the page with the given caption and returns it.
    static CKRPropertyPageEx *open(CKRPropertySheetEx *sheet, const QString &caption)
    {
        for (int i = 0; i < sheet->GetPageCount(); ++i)
            if (sheet->GetPage(i)->Caption() == caption) {
                sheet->findChild<QTabBar *>()->setCurrentIndex(i);
                return sheet->GetPage(i);
            }
        ADD_FAILURE() << "no page " << caption.toStdString();
        return nullptr;
    }

    static void press(CKRPropertySheetEx *sheet, int id) { sheet->PressButton(id); }

    // The host calls whose name starts with prefix, in order.
    std::vector<std::string> callsStartingWith(const std::string &prefix) const
    {
        std::vector<std::string> out;
        for (const auto &c : host->calls())
            if (c.rfind(prefix, 0) == 0)
                out.push_back(c);
        return out;
    }
    std::vector<std::string> writes() const
    {
        std::vector<std::string> out;
        for (const auto &c : host->calls())
            if (c.find(".put_") != std::string::npos)
                out.push_back(c);
        return out;
    }

    TempRegistry registry;
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<hostide::Host> host;
    void *lib = nullptr;
};
