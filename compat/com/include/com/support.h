// Helpers a component or host needs around the core runtime: system
// messages for result codes, error information, registry scripts.
#pragma once

#include "com/types.h"

#include <map>
#include <string>

namespace com {

// The system's message for a result code; empty when it has none.
std::string systemMessage(HRESULT hr);

// Sets this thread's error information to a description (and source).
void setErrorDescription(const std::string &description, const std::string &source = {},
                         REFIID iid = GUID_NULL);

// The description the failing object left, when it offers error
// information for riid; empty otherwise. Clears the thread's error info.
std::string takeErrorDescription(IUnknown *object, REFIID riid);

// Runs a registry script (format in docs/components.md) against the
// registry: register creates what it names, unregister removes it.
// Variables written %NAME% are replaced from vars; %% is a percent sign.
HRESULT runRegistryScript(const std::string &script, bool doRegister,
                          const std::map<std::string, std::string> &vars);

// The path of the shared object that holds the given address.
std::string modulePathOf(const void *address);

} // namespace com
