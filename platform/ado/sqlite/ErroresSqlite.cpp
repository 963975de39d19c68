#include "ado/sqlite/ErroresSqlite.h"

#include <sqlite3.h>

namespace ado::detalle {

namespace {

const QString fuente = QStringLiteral("Microsoft OLE DB Provider for SQL Server");

// The ADO error number that goes with a SQL Server native error.
Numero numeroAdo(Numero nativo) {
    switch (nativo) {
    case 2627:
    case 2601:
    case 515:
    case 547:
        return codigo::DB_E_INTEGRITYVIOLATION;
    case 8152:
        return codigo::DB_E_DATAOVERFLOW;
    case 241:
    case 242:
    case 245:
    case 8114:
        return codigo::DB_E_CANTCONVERTVALUE;
    case 208:
        return codigo::DB_E_NOTABLE;
    default:
        return codigo::DB_E_ERRORSINCOMMAND;
    }
}

Error registro(Numero nativo, const QString& estado, const QString& texto) {
    return Error{numeroAdo(nativo), texto, estado, nativo, fuente};
}

// "T.a, T.b" of a constraint message: the table, and the first column.
std::pair<QString, QString> tablaYColumna(const QString& detalle) {
    const QString primera = detalle.section(u',', 0, 0).trimmed();
    const auto punto = primera.indexOf(u'.');
    if (punto < 0)
        return {QString(), primera};
    return {primera.first(punto), primera.sliced(punto + 1)};
}

} // namespace

bool TerminaSoloLaSentencia(Numero nativo) {
    switch (nativo) {
    case 2627:
    case 2601:
    case 515:
    case 547:
    case 8152:
        return true;
    default:
        return false;
    }
}

QList<Error> TraduceError(sqlite3* db, int rc) {
    const QString mensaje = QString::fromUtf8(sqlite3_errmsg(db));
    const int extendido = sqlite3_extended_errcode(db);
    const auto terminada = registro(3621, QStringLiteral("01000"),
                                    QStringLiteral("The statement has been terminated."));
    const auto despuesDe = [](const QString& m, const char* prefijo) {
        return m.sliced(m.indexOf(QLatin1String(prefijo)) + qstrlen(prefijo)).trimmed();
    };
    if ((rc & 0xff) == SQLITE_CONSTRAINT) {
        Error e;
        switch (extendido) {
        case SQLITE_CONSTRAINT_PRIMARYKEY:
        case SQLITE_CONSTRAINT_UNIQUE: {
            const auto [tabla, columna] = tablaYColumna(despuesDe(mensaje, "failed:"));
            const bool primaria = extendido == SQLITE_CONSTRAINT_PRIMARYKEY;
            e = registro(
                2627, QStringLiteral("23000"),
                QStringLiteral("Violation of %1 constraint '%2_%3'. Cannot insert "
                               "duplicate key in object 'dbo.%3'.")
                    .arg(primaria ? QStringLiteral("PRIMARY KEY") : QStringLiteral("UNIQUE KEY"),
                         primaria ? QStringLiteral("PK") : QStringLiteral("UQ"), tabla));
            break;
        }
        case SQLITE_CONSTRAINT_NOTNULL: {
            const auto [tabla, columna] = tablaYColumna(despuesDe(mensaje, "failed:"));
            e = registro(515, QStringLiteral("23000"),
                         QStringLiteral("Cannot insert the value NULL into column '%1', table "
                                        "'dbo.%2'; column does not allow nulls. INSERT fails.")
                             .arg(columna, tabla));
            break;
        }
        case SQLITE_CONSTRAINT_FOREIGNKEY:
            e = registro(547, QStringLiteral("23000"),
                         QStringLiteral("The statement conflicted with a FOREIGN KEY "
                                        "constraint."));
            break;
        case SQLITE_CONSTRAINT_CHECK:
            e = registro(547, QStringLiteral("23000"),
                         QStringLiteral("The statement conflicted with the CHECK constraint "
                                        "'%1'.")
                             .arg(despuesDe(mensaje, "failed:")));
            break;
        default: {
            // RAISE() of a validation trigger: "<native>|<sqlstate>|<text>".
            const QStringList partes = mensaje.split(u'|');
            bool ok = false;
            const int nativo = partes.size() == 3 ? partes[0].toInt(&ok) : 0;
            if (ok) {
                e = registro(nativo, partes[1], partes[2]);
                if (!TerminaSoloLaSentencia(nativo))
                    return {e};
            } else {
                e = registro(547, QStringLiteral("23000"), mensaje);
            }
        }
        }
        return {e, terminada};
    }
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_INTERRUPT:
        return {Error{codigo::DB_E_ABORTLIMITREACHED, QStringLiteral("Query timeout expired"),
                      QStringLiteral("HYT00"), 0, fuente}};
    case SQLITE_TOOBIG:
        return {registro(8152, QStringLiteral("22001"),
                         QStringLiteral("String or binary data would be truncated.")),
                terminada};
    default:
        break;
    }
    if (mensaje.startsWith(QLatin1String("no such table:"))) {
        // SQLite names a table a view refers to with its schema, "main."; the
        // program's own names carry none.
        QString tabla = despuesDe(mensaje, "no such table:");
        if (tabla.startsWith(QLatin1String("main."), Qt::CaseInsensitive))
            tabla = tabla.sliced(5);
        return {registro(208, QStringLiteral("42S02"),
                         QStringLiteral("Invalid object name '%1'.").arg(tabla))};
    }
    if (mensaje.startsWith(QLatin1String("no such column:")))
        return {registro(207, QStringLiteral("42S22"),
                         QStringLiteral("Invalid column name '%1'.")
                             .arg(despuesDe(mensaje, "no such column:")))};
    if (mensaje.contains(QLatin1String("syntax error")))
        return {registro(102, QStringLiteral("42000"), mensaje)};
    return {registro(rc, QStringLiteral("HY000"), mensaje)};
}

Falla FallaConexion(const QString& mensaje) {
    Error e{codigo::E_FAIL, mensaje, QStringLiteral("08001"), 0, fuente};
    return Falla(e.Number, e.Description, e.Source, {e});
}

Falla FallaReescritura(const QString& etapa, const QString& motivo, const QString& sentencia) {
    constexpr qsizetype kInicio = 80;
    QString inicio = sentencia.simplified();
    if (inicio.size() > kInicio)
        inicio = inicio.first(kInicio) + QStringLiteral("...");
    const Error e = registro(
        102, QStringLiteral("42000"),
        QStringLiteral("No se pudo reescribir la sentencia para SQLite (%1): %2. Sentencia: \"%3\"")
            .arg(etapa, motivo, inicio));
    return Falla(e.Number, e.Description, e.Source, {e});
}

} // namespace ado::detalle
