#pragma once
// What a database provider gives the connection. Every call that fails raises
// ado::Falla carrying the provider's records; the connection files them in its
// error list.

#include "platform/ado/Ado.h"

#include <QHash>
#include <QStringList>

namespace ado::detalle {

struct Columna {
    QString nombre;
    int tipo = adVarWChar;
    int tamano = 0;
    QString tablaBase;   // table the column comes from, where the provider knows it
    QString columnaBase; // its name in that table
};

struct Resultado {
    QList<Columna> columnas; // empty when the statement returns no rows
    QList<QVariantList> filas;
    long filasAfectadas = -1;
    QList<Error> avisos; // warnings of a statement that succeeded
};

// What the connection string asks for, once parsed.
struct DatosConexion {
    enum class Tipo { Embebida, Odbc };
    Tipo tipo = Tipo::Odbc;
    QString archivo;     // embedded: the database file
    QString cadenaOdbc;  // ODBC: the full connection string for the driver manager
    QString descripcion; // server or file, for messages
};

class Proveedor {
public:
    virtual ~Proveedor() = default;
    virtual void abrir(const DatosConexion& datos, int segundosConexion) = 0;
    virtual void cerrar() = 0;
    virtual Resultado ejecuta(const QString& sql, const QVariantList& parametros) = 0;
    virtual void iniciaTransaccion() = 0;
    virtual void confirmaTransaccion() = 0;
    virtual void revierteTransaccion() = 0;
    virtual Resultado tablas() = 0;
    virtual Resultado columnas(const QString& tabla) = 0;
    virtual QStringList clavePrimaria(const QString& tabla) = 0;
    // The key the database gave the last row inserted on this connection.
    virtual QVariant ultimaIdentidad() = 0;
    virtual void fijaTiempoComando(int segundos) = 0;
    virtual void fijaAislamiento(int nivelAdo) = 0;
    virtual void fijaBaseDefecto(const QString& base) = 0;
};

// The columns of ADO's schema rowsets, without rows: what tablas() and columnas() give.
Resultado EsquemaDeTablas();
Resultado EsquemaDeColumnas();

std::unique_ptr<Proveedor> CreaProveedorEmbebido();
std::unique_ptr<Proveedor> CreaProveedorOdbc();

// Parses an ADO-style or ODBC connection string. Raises Falla for a provider it
// does not know.
DatosConexion InterpretaCadena(const QString& cadena, const QString& usuario, const QString& clave,
                               const OpcionesOdbc& opciones);

// An ODBC connection string's keys (lower case) and values, braces removed.
QHash<QString, QString> ParesOdbc(const QString& cadena);

} // namespace ado::detalle
