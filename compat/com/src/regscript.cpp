#include "com/registry.h"
#include "com/support.h"

#include <cctype>
#include <memory>
#include <vector>

// A registry script names keys in braces under a hive:
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {...} = s 'Name'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// "= s 'text'" sets a key's default value, "val Name = s 'text'" (or d 42)
// a named value. On removal a plain key goes once it has no subkeys left,
// ForceRemove removes the whole tree (and clears it before registering),
// NoRemove keeps the key, Delete removes the key when registering.

namespace {

enum class Flag { None, NoRemove, ForceRemove, Delete };

struct ScriptValue {
    bool isNumber = false;
    std::string text;
    DWORD number = 0;
};

struct NamedValue {
    std::string name;
    ScriptValue value;
};

struct Key {
    Flag flag = Flag::None;
    std::string name;
    bool hasDefault = false;
    ScriptValue defaultValue;
    std::vector<NamedValue> values;
    std::vector<Key> children;
};

struct Hive {
    HKEY root;
    std::vector<Key> keys;
};

struct Token {
    enum Kind { Word, Quoted, Open, Close, Equals } kind;
    std::string text;
};

class Parser {
public:
    Parser(const std::string &script, const std::map<std::string, std::string> &vars) : m_vars(vars)
    {
        tokenize(script);
    }

    bool parse(std::vector<Hive> *hives)
    {
        while (m_ok && m_pos < m_tokens.size()) {
            Hive h{};
            const std::string name = word();
            if (name == "HKCR" || name == "HKEY_CLASSES_ROOT")
                h.root = HKEY_CLASSES_ROOT;
            else if (name == "HKLM" || name == "HKEY_LOCAL_MACHINE")
                h.root = HKEY_LOCAL_MACHINE;
            else
                return false;
            if (!expect(Token::Open))
                return false;
            while (m_ok && !at(Token::Close))
                h.keys.push_back(key());
            expect(Token::Close);
            hives->push_back(std::move(h));
        }
        return m_ok;
    }

private:
    void tokenize(const std::string &s)
    {
        std::size_t i = 0;
        while (i < s.size()) {
            const char c = s[i];
            if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
            } else if (c == '{' && (i + 1 >= s.size() || std::isspace(static_cast<unsigned char>(s[i + 1])))) {
                m_tokens.push_back({Token::Open, "{"});
                ++i;
            } else if (c == '}') {
                m_tokens.push_back({Token::Close, "}"});
                ++i;
            } else if (c == '=') {
                m_tokens.push_back({Token::Equals, "="});
                ++i;
            } else if (c == '\'') {
                std::string text;
                ++i;
                bool closed = false;
                while (i < s.size()) {
                    if (s[i] == '\'') {
                        if (i + 1 < s.size() && s[i + 1] == '\'') {
                            text += '\'';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    text += s[i++];
                }
                if (!closed)
                    m_ok = false;
                m_tokens.push_back({Token::Quoted, substitute(text)});
            } else {
                // A bare word; a GUID in braces counts as one word.
                std::string text;
                while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i])) && s[i] != '=' &&
                       s[i] != '\'' && !(s[i] == '}' && (text.empty() || text[0] != '{'))) {
                    text += s[i++];
                    if (text[0] == '{' && text.back() == '}')
                        break;
                }
                m_tokens.push_back({Token::Word, substitute(text)});
            }
        }
    }

    std::string substitute(const std::string &text)
    {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '%') {
                out += text[i];
                continue;
            }
            const std::size_t end = text.find('%', i + 1);
            if (end == std::string::npos) {
                m_ok = false;
                return out;
            }
            const std::string name = text.substr(i + 1, end - i - 1);
            if (name.empty()) {
                out += '%';
            } else {
                auto it = m_vars.find(name);
                if (it == m_vars.end())
                    m_ok = false;
                else
                    out += it->second;
            }
            i = end;
        }
        return out;
    }

    bool at(Token::Kind k) const { return m_pos < m_tokens.size() && m_tokens[m_pos].kind == k; }
    bool expect(Token::Kind k)
    {
        if (!at(k))
            return m_ok = false;
        ++m_pos;
        return true;
    }
    std::string word()
    {
        if (!at(Token::Word) && !at(Token::Quoted)) {
            m_ok = false;
            return {};
        }
        return m_tokens[m_pos++].text;
    }

    ScriptValue value()
    {
        ScriptValue v;
        const std::string type = word();
        if (type == "s" || type == "S") {
            if (!at(Token::Quoted))
                m_ok = false;
            v.text = word();
        } else if (type == "d" || type == "D") {
            const std::string n = word();
            char *end = nullptr;
            v.isNumber = true;
            v.number = DWORD(std::strtoul(n.c_str(), &end, 0));
            if (n.empty() || *end)
                m_ok = false;
        } else {
            m_ok = false;
        }
        return v;
    }

    Key key()
    {
        Key k;
        std::string name = word();
        if (m_pos < m_tokens.size() && m_tokens[m_pos - 1].kind == Token::Word) {
            if (name == "NoRemove")
                k.flag = Flag::NoRemove;
            else if (name == "ForceRemove")
                k.flag = Flag::ForceRemove;
            else if (name == "Delete")
                k.flag = Flag::Delete;
            if (k.flag != Flag::None)
                name = word();
        }
        k.name = name;
        if (k.name.empty())
            m_ok = false;
        if (at(Token::Equals)) {
            ++m_pos;
            k.hasDefault = true;
            k.defaultValue = value();
        }
        if (at(Token::Open)) {
            ++m_pos;
            while (m_ok && !at(Token::Close)) {
                if (at(Token::Word) && m_tokens[m_pos].text == "val") {
                    ++m_pos;
                    NamedValue nv;
                    nv.name = word();
                    expect(Token::Equals);
                    nv.value = value();
                    k.values.push_back(std::move(nv));
                } else {
                    k.children.push_back(key());
                }
            }
            expect(Token::Close);
        }
        return k;
    }

    const std::map<std::string, std::string> &m_vars;
    std::vector<Token> m_tokens;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

LONG setValue(HKEY key, const std::string &name, const ScriptValue &v)
{
    if (v.isNumber)
        return RegSetValueEx(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v.number),
                             sizeof v.number);
    return RegSetValueEx(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(v.text.c_str()),
                         DWORD(v.text.size() + 1));
}

LONG registerKey(HKEY root, const std::string &parent, const Key &k)
{
    const std::string path = parent.empty() ? k.name : parent + "\\" + k.name;
    if (k.flag == Flag::Delete || k.flag == Flag::ForceRemove) {
        const LONG rc = RegDeleteTree(root, path.c_str());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
            return rc;
        if (k.flag == Flag::Delete)
            return ERROR_SUCCESS;
    }
    HKEY key;
    LONG rc = RegCreateKeyEx(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (k.hasDefault)
        rc = setValue(key, "", k.defaultValue);
    for (std::size_t i = 0; rc == ERROR_SUCCESS && i < k.values.size(); ++i)
        rc = setValue(key, k.values[i].name, k.values[i].value);
    RegCloseKey(key);
    for (std::size_t i = 0; rc == ERROR_SUCCESS && i < k.children.size(); ++i)
        rc = registerKey(root, path, k.children[i]);
    return rc;
}

LONG unregisterKey(HKEY root, const std::string &parent, const Key &k)
{
    const std::string path = parent.empty() ? k.name : parent + "\\" + k.name;
    if (k.flag == Flag::Delete)
        return ERROR_SUCCESS;
    if (k.flag == Flag::ForceRemove) {
        const LONG rc = RegDeleteTree(root, path.c_str());
        return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
    }
    if (!com::registry::keyExists(root, path))
        return ERROR_SUCCESS;
    for (const auto &child : k.children) {
        const LONG rc = unregisterKey(root, path, child);
        if (rc != ERROR_SUCCESS)
            return rc;
    }
    if (k.flag == Flag::NoRemove)
        return ERROR_SUCCESS;
    HKEY key;
    if (RegOpenKeyEx(root, path.c_str(), 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        for (const auto &v : k.values) {
            const LONG rc = RegDeleteValue(key, v.name.c_str());
            if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
                RegCloseKey(key);
                return rc;
            }
        }
        RegCloseKey(key);
    }
    if (!com::registry::subKeys(root, path).empty())
        return ERROR_SUCCESS;
    const LONG rc = RegDeleteKey(root, path.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

} // namespace

namespace com {

HRESULT runRegistryScript(const std::string &script, bool doRegister, const std::map<std::string, std::string> &vars)
{
    std::vector<Hive> hives;
    Parser parser(script, vars);
    if (!parser.parse(&hives))
        return E_INVALIDARG;
    for (const auto &h : hives)
        for (const auto &k : h.keys) {
            const LONG rc = doRegister ? registerKey(h.root, "", k) : unregisterKey(h.root, "", k);
            if (rc != ERROR_SUCCESS)
                return HRESULT_FROM_WIN32(rc);
        }
    return S_OK;
}

} // namespace com
