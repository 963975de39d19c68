#include "ado/odbc/Diagnosticos.h"

#include <QVarLengthArray>

#include <algorithm>

namespace ado::detalle::odbc {

namespace {

// The ADO error number a record of a failed call carries, from its SQLSTATE.
Numero NumeroAdo(const QString& estado) {
    // Class 08 is the line itself; 57P01 to 57P03 are a server that ended the session
    // (shut down, crashed, or an administrator ended it) or will not take one yet:
    // to the program all of them are a server it cannot reach.
    if (estado.startsWith(QLatin1String("08")) || estado == QLatin1String("28000") ||
        estado.startsWith(QLatin1String("57P0")))
        return codigo::E_FAIL;
    if (estado.startsWith(QLatin1String("23")))
        return codigo::DB_E_INTEGRITYVIOLATION;
    if (estado == QLatin1String("22001"))
        return codigo::DB_E_DATAOVERFLOW;
    if (estado == QLatin1String("22005") || estado == QLatin1String("22018") ||
        estado == QLatin1String("22007") || estado == QLatin1String("22008"))
        return codigo::DB_E_CANTCONVERTVALUE;
    if (estado == QLatin1String("42S02"))
        return codigo::DB_E_NOTABLE;
    if (estado == QLatin1String("HYT00") || estado == QLatin1String("HYT01"))
        return codigo::DB_E_ABORTLIMITREACHED;
    return codigo::DB_E_ERRORSINCOMMAND;
}

} // namespace

QList<Error> leeRegistros(SQLSMALLINT tipo, SQLHANDLE h) {
    QList<Error> r;
    if (!h)
        return r;
    for (SQLSMALLINT i = 1; i > 0; ++i) {
        SQLWCHAR estado[6] = {};
        SQLINTEGER nativo = 0;
        QVarLengthArray<SQLWCHAR, 1024> mensaje(1024);
        SQLSMALLINT largo = 0;
        SQLRETURN rc = SQLGetDiagRecW(tipo, h, i, estado, &nativo, mensaje.data(),
                                      static_cast<SQLSMALLINT>(mensaje.size()), &largo);
        if (rc == SQL_SUCCESS_WITH_INFO && largo >= mensaje.size()) {
            mensaje.resize(largo + 1);
            rc = SQLGetDiagRecW(tipo, h, i, estado, &nativo, mensaje.data(),
                                static_cast<SQLSMALLINT>(mensaje.size()), &largo);
        }
        if (!SQL_SUCCEEDED(rc))
            break;
        Error e;
        e.SQLState = deW(estado, 5);
        e.NativeError = nativo;
        e.Description = deW(mensaje.data(), std::clamp<qsizetype>(largo, 0, mensaje.size() - 1));
        e.Source = fuenteOdbc;
        r.append(e);
    }
    return r;
}

QList<Error> comoErrores(QList<Error> registros) {
    for (Error& e : registros)
        e.Number = NumeroAdo(e.SQLState);
    return registros;
}

[[noreturn]] void lanza(QList<Error> registros, const char* llamada) {
    if (registros.isEmpty() || std::none_of(registros.begin(), registros.end(),
                                            [](const Error& e) { return e.Number != 0; }))
        registros.append(Error{codigo::DB_E_ERRORSINCOMMAND,
                               QStringLiteral("The ODBC driver reported a failure of %1 without "
                                              "describing it.")
                                   .arg(QLatin1String(llamada)),
                               QStringLiteral("HY000"), 0, fuenteOdbc});
    const auto causa = std::find_if(registros.begin(), registros.end(),
                                    [](const Error& e) { return e.Number != 0; });
    const Error primero = *causa;
    throw Falla(primero.Number, primero.Description, primero.Source, std::move(registros));
}

void comprueba(SQLRETURN rc, SQLSMALLINT tipo, SQLHANDLE h, const char* llamada) {
    if (rc == SQL_SUCCESS || rc == SQL_NO_DATA)
        return;
    QList<Error> registros = leeRegistros(tipo, h);
    if (rc == SQL_SUCCESS_WITH_INFO)
        return;
    lanza(comoErrores(std::move(registros)), llamada);
}

} // namespace ado::detalle::odbc
