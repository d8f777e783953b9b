#include "com/registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>

// The file holds one section per key, in the style of exported registry
// files:
//   [HKEY_CLASSES_ROOT\CLSID\{...}]
//   @="default value"
//   "Name"="text"
//   "Count"=dword:0000002a

namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

struct Value {
    std::string name; // as first written; "" is the default value
    DWORD type = REG_SZ;
    std::string text;
    DWORD number = 0;
};

struct Node {
    std::string name;
    std::map<std::string, Value> values;  // by lower-case name
    std::map<std::string, Node> children; // by lower-case name
};

struct Registry {
    Node hives[2]; // HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE
};

const char *const kHiveNames[2] = {"HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE"};

struct KeyHandle {
    int hive;
    std::vector<std::string> path; // component names as given
};

std::mutex g_lock;
std::set<KeyHandle *> g_handles;
std::vector<std::pair<int, std::vector<std::string>>> g_denied; // lower-case paths

int predefinedHive(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT)
        return 0;
    if (key == HKEY_LOCAL_MACHINE)
        return 1;
    return -1;
}

std::vector<std::string> splitPath(const char *subKey)
{
    std::vector<std::string> parts;
    if (!subKey)
        return parts;
    std::string cur;
    for (const char *p = subKey; *p; ++p) {
        if (*p == '\\') {
            if (!cur.empty())
                parts.push_back(cur);
            cur.clear();
        } else {
            cur += *p;
        }
    }
    if (!cur.empty())
        parts.push_back(cur);
    return parts;
}

// Resolves a handle plus a relative path; false for an unknown handle.
bool resolve(HKEY key, const char *subKey, int *hive, std::vector<std::string> *path)
{
    const int h = predefinedHive(key);
    if (h >= 0) {
        *hive = h;
        path->clear();
    } else {
        auto *kh = reinterpret_cast<KeyHandle *>(key);
        if (!g_handles.count(kh))
            return false;
        *hive = kh->hive;
        *path = kh->path;
    }
    for (auto &p : splitPath(subKey))
        path->push_back(p);
    return true;
}

bool denied(int hive, const std::vector<std::string> &path)
{
    for (const auto &[h, prefix] : g_denied) {
        if (h != hive || prefix.size() > path.size())
            continue;
        bool match = true;
        for (std::size_t i = 0; i < prefix.size() && match; ++i)
            match = lower(path[i]) == prefix[i];
        if (match)
            return true;
    }
    return false;
}

std::string escape(const std::string &s)
{
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out;
}

// Reads a quoted string starting at s[pos] == '"'; pos ends past the quote.
bool unquote(const std::string &s, std::size_t &pos, std::string *out)
{
    if (pos >= s.size() || s[pos] != '"')
        return false;
    ++pos;
    out->clear();
    while (pos < s.size()) {
        char c = s[pos++];
        if (c == '"')
            return true;
        if (c == '\\' && pos < s.size()) {
            c = s[pos++];
            if (c == 'n')
                c = '\n';
        }
        *out += c;
    }
    return false;
}

Node *find(Registry &reg, int hive, const std::vector<std::string> &path, bool create, bool *created = nullptr)
{
    Node *n = &reg.hives[hive];
    for (const auto &part : path) {
        auto it = n->children.find(lower(part));
        if (it == n->children.end()) {
            if (!create)
                return nullptr;
            it = n->children.emplace(lower(part), Node{part, {}, {}}).first;
            if (created)
                *created = true;
        }
        n = &it->second;
    }
    return n;
}

std::string currentPath()
{
    const QByteArray env = qgetenv("KR_REGISTRY_FILE");
    if (!env.isEmpty())
        return env.toStdString();
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QStringLiteral("/karrowin/registry.reg"))
        .toStdString();
}

bool load(Registry *reg)
{
    QFile f(QString::fromStdString(currentPath()));
    if (!f.exists())
        return true;
    if (!f.open(QIODevice::ReadOnly))
        return false;
    Node *current = nullptr;
    while (!f.atEnd()) {
        std::string line = f.readLine().toStdString();
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[' && line.back() == ']') {
            auto parts = splitPath(line.substr(1, line.size() - 2).c_str());
            current = nullptr;
            if (parts.empty())
                continue;
            const std::string hiveName = parts.front();
            parts.erase(parts.begin());
            for (int h = 0; h < 2; ++h)
                if (hiveName == kHiveNames[h])
                    current = find(*reg, h, parts, true);
            continue;
        }
        if (!current)
            continue;
        std::size_t pos = 0;
        std::string name;
        if (line[0] == '@') {
            pos = 1;
        } else if (!unquote(line, pos, &name)) {
            continue;
        }
        if (pos >= line.size() || line[pos] != '=')
            continue;
        ++pos;
        Value v;
        v.name = name;
        if (line.compare(pos, 6, "dword:") == 0) {
            v.type = REG_DWORD;
            v.number = DWORD(std::strtoul(line.c_str() + pos + 6, nullptr, 16));
        } else if (!unquote(line, pos, &v.text)) {
            continue;
        }
        current->values[lower(name)] = v;
    }
    return true;
}

void writeNode(QByteArray &out, const std::string &path, const Node &n)
{
    out += "[" + QByteArray::fromStdString(path) + "]\n";
    for (const auto &[key, v] : n.values) {
        out += v.name.empty() ? QByteArray("@") : QByteArray::fromStdString("\"" + escape(v.name) + "\"");
        if (v.type == REG_DWORD)
            out += "=dword:" + QByteArray::number(v.number, 16).rightJustified(8, '0') + "\n";
        else
            out += QByteArray::fromStdString("=\"" + escape(v.text) + "\"\n");
    }
    out += "\n";
    for (const auto &[key, child] : n.children)
        writeNode(out, path + "\\" + child.name, child);
}

bool save(const Registry &reg)
{
    const QString path = QString::fromStdString(currentPath());
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray out = "; component registry\n\n";
    for (int h = 0; h < 2; ++h)
        writeNode(out, kHiveNames[h], reg.hives[h]);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(out);
    return f.commit();
}

} // namespace

LONG RegOpenKeyEx(HKEY key, const char *subKey, DWORD, REGSAM, HKEY *result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(g_lock);
    int hive;
    std::vector<std::string> path;
    if (!resolve(key, subKey, &hive, &path))
        return ERROR_INVALID_HANDLE;
    Registry reg;
    if (!load(&reg))
        return ERROR_BADDB;
    if (!find(reg, hive, path, false))
        return ERROR_FILE_NOT_FOUND;
    auto *h = new KeyHandle{hive, path};
    g_handles.insert(h);
    *result = reinterpret_cast<HKEY>(h);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY key, const char *subKey, DWORD, char *, DWORD, REGSAM, void *, HKEY *result,
                    DWORD *disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(g_lock);
    int hive;
    std::vector<std::string> path;
    if (!resolve(key, subKey, &hive, &path))
        return ERROR_INVALID_HANDLE;
    Registry reg;
    if (!load(&reg))
        return ERROR_BADDB;
    bool created = false;
    if (!find(reg, hive, path, false)) {
        if (denied(hive, path))
            return ERROR_ACCESS_DENIED;
        find(reg, hive, path, true, &created);
        if (!save(reg))
            return ERROR_WRITE_FAULT;
    }
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    auto *h = new KeyHandle{hive, path};
    g_handles.insert(h);
    *result = reinterpret_cast<HKEY>(h);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    if (predefinedHive(key) >= 0)
        return ERROR_SUCCESS;
    std::lock_guard guard(g_lock);
    auto *kh = reinterpret_cast<KeyHandle *>(key);
    if (!g_handles.erase(kh))
        return ERROR_INVALID_HANDLE;
    delete kh;
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, const char *name, DWORD, DWORD type, const BYTE *data, DWORD size)
{
    if (type != REG_SZ && type != REG_DWORD)
        return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD && (size != sizeof(DWORD) || !data))
        return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(g_lock);
    int hive;
    std::vector<std::string> path;
    if (!resolve(key, nullptr, &hive, &path))
        return ERROR_INVALID_HANDLE;
    if (denied(hive, path))
        return ERROR_ACCESS_DENIED;
    Registry reg;
    if (!load(&reg))
        return ERROR_BADDB;
    Node *n = find(reg, hive, path, false);
    if (!n)
        return ERROR_FILE_NOT_FOUND; // deleted behind the handle
    Value v;
    v.name = name ? name : "";
    v.type = type;
    if (type == REG_DWORD) {
        std::memcpy(&v.number, data, sizeof v.number);
    } else if (data) {
        const char *text = reinterpret_cast<const char *>(data);
        v.text.assign(text, strnlen(text, size));
    }
    n->values[lower(v.name)] = v;
    return save(reg) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

LONG RegQueryValueEx(HKEY key, const char *name, DWORD *, DWORD *type, BYTE *data, DWORD *size)
{
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(g_lock);
    int hive;
    std::vector<std::string> path;
    if (!resolve(key, nullptr, &hive, &path))
        return ERROR_INVALID_HANDLE;
    Registry reg;
    if (!load(&reg))
        return ERROR_BADDB;
    Node *n = find(reg, hive, path, false);
    if (!n)
        return ERROR_FILE_NOT_FOUND;
    auto it = n->values.find(lower(name ? name : ""));
    if (it == n->values.end())
        return ERROR_FILE_NOT_FOUND;
    const Value &v = it->second;
    if (type)
        *type = v.type;
    const DWORD needed = v.type == REG_DWORD ? DWORD(sizeof(DWORD)) : DWORD(v.text.size() + 1);
    if (!size)
        return ERROR_SUCCESS;
    if (!data) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (v.type == REG_DWORD)
        std::memcpy(data, &v.number, sizeof v.number);
    else
        std::memcpy(data, v.text.c_str(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG RegDeleteValue(HKEY key, const char *name)
{
    std::lock_guard guard(g_lock);
    int hive;
    std::vector<std::string> path;
    if (!resolve(key, nullptr, &hive, &path))
        return ERROR_INVALID_HANDLE;
    if (denied(hive, path))
        return ERROR_ACCESS_DENIED;
    Registry reg;
    if (!load(&reg))
        return ERROR_BADDB;
    Node *n = find(reg, hive, path, false);
    if (!n || !n->values.erase(lower(name ? name : "")))
        return ERROR_FILE_NOT_FOUND;
    return save(reg) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

namespace {
LONG deleteKey(HKEY key, const char *subKey, bool tree)
{
    std::lock_guard guard(g_lock);
    int hive;
    std::vector<std::string> path;
    if (!resolve(key, subKey, &hive, &path))
        return ERROR_INVALID_HANDLE;
    if (denied(hive, path))
        return ERROR_ACCESS_DENIED;
    Registry reg;
    if (!load(&reg))
        return ERROR_BADDB;
    Node *n = find(reg, hive, path, false);
    if (!n)
        return ERROR_FILE_NOT_FOUND;
    if (tree && (!subKey || !*subKey)) {
        // The key itself stays; its contents go.
        n->values.clear();
        n->children.clear();
    } else {
        if (path.empty())
            return ERROR_ACCESS_DENIED; // a hive cannot be deleted
        if (!tree && !n->children.empty())
            return ERROR_ACCESS_DENIED;
        std::vector<std::string> parentPath(path.begin(), path.end() - 1);
        find(reg, hive, parentPath, false)->children.erase(lower(path.back()));
    }
    return save(reg) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}
} // namespace

LONG RegDeleteKey(HKEY key, const char *subKey)
{
    if (!subKey || !*subKey)
        return ERROR_INVALID_PARAMETER;
    return deleteKey(key, subKey, false);
}

LONG RegDeleteTree(HKEY key, const char *subKey) { return deleteKey(key, subKey, true); }

LONG RegEnumKeyEx(HKEY key, DWORD index, char *name, DWORD *nameSize, DWORD *, char *, DWORD *, void *)
{
    if (!name || !nameSize)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(g_lock);
    int hive;
    std::vector<std::string> path;
    if (!resolve(key, nullptr, &hive, &path))
        return ERROR_INVALID_HANDLE;
    Registry reg;
    if (!load(&reg))
        return ERROR_BADDB;
    Node *n = find(reg, hive, path, false);
    if (!n)
        return ERROR_FILE_NOT_FOUND;
    if (index >= n->children.size())
        return ERROR_NO_MORE_ITEMS;
    auto it = n->children.begin();
    std::advance(it, index);
    const std::string &child = it->second.name;
    if (*nameSize < child.size() + 1) {
        *nameSize = DWORD(child.size() + 1);
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, child.c_str(), child.size() + 1);
    *nameSize = DWORD(child.size());
    return ERROR_SUCCESS;
}

namespace com::registry {

std::string filePath()
{
    return currentPath();
}

bool readString(HKEY root, const std::string &subKey, const std::string &name, std::string *value)
{
    HKEY key;
    if (RegOpenKeyEx(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    bool ok = RegQueryValueEx(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              type == REG_SZ;
    if (ok) {
        std::string buf(size, '\0');
        ok = RegQueryValueEx(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(buf.data()), &size) ==
             ERROR_SUCCESS;
        if (ok && value)
            *value = buf.c_str();
    }
    RegCloseKey(key);
    return ok;
}

LONG writeString(HKEY root, const std::string &subKey, const std::string &name, const std::string &value)
{
    HKEY key;
    LONG rc = RegCreateKeyEx(root, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegSetValueEx(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                       DWORD(value.size() + 1));
    RegCloseKey(key);
    return rc;
}

bool keyExists(HKEY root, const std::string &subKey)
{
    HKEY key;
    if (RegOpenKeyEx(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> subKeys(HKEY root, const std::string &subKey)
{
    std::vector<std::string> out;
    HKEY key;
    if (RegOpenKeyEx(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyEx(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        out.emplace_back(name);
    }
    RegCloseKey(key);
    return out;
}

void denyWrites(HKEY root, const std::string &subKey)
{
    std::lock_guard guard(g_lock);
    std::vector<std::string> path;
    for (auto &p : splitPath(subKey.c_str()))
        path.push_back(lower(p));
    g_denied.emplace_back(predefinedHive(root), path);
}

void clearDenials()
{
    std::lock_guard guard(g_lock);
    g_denied.clear();
}

} // namespace com::registry
