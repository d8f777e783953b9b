#pragma once
// The connection string in the program's own form, and the engine its server text selects.
#include <QString>

enum class Engine { SQLite, PostgreSQL };

struct ConnectionString {
    QString provider = QStringLiteral("SQLOLEDB.1");
    QString password;
    QString persistSecurityInfo = QStringLiteral("False");
    QString userId;
    QString initialCatalog = QStringLiteral("handset");
    QString dataSource;

    // Built exactly as the server dialog does: texts inserted as typed, fixed order.
    QString toString() const;
    // Reads a string built by toString() back, even when the password or user name
    // holds ";" or "="; other strings are read as plain "key=value;..." lists.
    static ConnectionString parse(const QString &text);
    static ConnectionString fromLogin(const QString &server, const QString &user, const QString &password);

    bool operator==(const ConnectionString &) const = default;
};

// Where a server text leads: the embedded file or a PostgreSQL server.
struct ServerTarget {
    Engine engine = Engine::SQLite;
    QString sqliteFile; // absolute path for SQLite
    QString host;       // PostgreSQL
    int port = 5432;

    // "" or "(local)" → the default file; a path ending in ".db" → that file;
    // anything else → "host[:port]".
    static ServerTarget fromServerText(const QString &server);
    static QString defaultSqliteFile();
};
