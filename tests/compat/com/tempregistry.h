// Points the runtime's registry at a fresh file for the life of a test.
#pragma once

#include "com/registry.h"

#include <QByteArray>
#include <QTemporaryDir>

class TempRegistry {
public:
    TempRegistry() : m_old(qgetenv("KR_REGISTRY_FILE"))
    {
        qputenv("KR_REGISTRY_FILE", m_dir.filePath("registry.reg").toUtf8());
    }
    ~TempRegistry()
    {
        com::registry::clearDenials();
        if (m_old.isEmpty())
            qunsetenv("KR_REGISTRY_FILE");
        else
            qputenv("KR_REGISTRY_FILE", m_old);
    }
    QString path() const { return m_dir.filePath("registry.reg"); }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};
