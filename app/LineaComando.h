#pragma once
// Reading the suite's command line: "@Key=value;" parameters found by plain,
// case-insensitive substring search, as the suite's programs hand them over.

#include <QString>

namespace lineacomando {

// The value of `clave` (e.g. "@Server") in `linea`: the text after the first
// occurrence of the key up to the next ";", every "=" removed, trimmed. A missing
// key gives `defecto`; a key with no ";" after it gives an empty value, except
// "@ParametroAdicional", which then takes the next 19 characters.
QString Parametro(const QString& linea, const QString& clave, const QString& defecto = {});

struct Parametros {
    QString parametroAdicional;
    QString menu;
    QString servidor;
    QString base;
    QString usuario;
    QString clave;
    QString usuarioLogeado;
    QString caja = QStringLiteral("1");
};

// The eight parameters, read in the suite's order.
Parametros Lee(const QString& linea);

// The line the suite builds to start a program on a connection.
QString Arma(const QString& servidor, const QString& base, const QString& usuario,
             const QString& clave);

// The host of a server written host:port or protocol/host:port; other texts
// (SRV\INSTANCE) unchanged.
QString NormalizaServidor(const QString& servidor);

// MACHINE|USER upper-cased; `corta` keeps the first 50 characters when the trimmed
// key is longer, as the toolbar section uses it.
QString MaquinaUsuario(const QString& maquina, const QString& usuario, bool corta);

} // namespace lineacomando
