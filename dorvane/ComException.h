// Failing host calls become CComException; every handler reports what it
// catches: codes 2000 to 2199 as a message box, anything else to the log.
#pragma once

#include "plinth/object.h"

#include <QString>

#include <exception>
#include <string>

class CComException : public CException {
public:
    CComException(HRESULT hr, const std::string &description);
    // The description the failing object left, else the system message,
    // else "Unknown error".
    static std::string Describe(HRESULT hr, IUnknown *object, REFIID iid);
};

// Throws CComException when hr failed; object and iid name the callee.
void CheckHost(HRESULT hr, IUnknown *object, REFIID iid);

// The handler's report, with the handler's source file and line.
void ReportException(const std::exception &e, const char *file, int line);
void ReportUnknownException(const char *file, int line);

// Appends one entry to the IDE's log "kride.log"; false when it could not.
bool AppendToLog(const char *file, int line, const QString &message);

#define KR_CATCH_ALL                                                                                             \
    catch (const std::exception &e)                                                                              \
    {                                                                                                            \
        ReportException(e, __FILE__, __LINE__);                                                                  \
    }                                                                                                            \
    catch (...)                                                                                                  \
    {                                                                                                            \
        ReportUnknownException(__FILE__, __LINE__);                                                              \
    }
