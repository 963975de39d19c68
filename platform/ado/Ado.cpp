#include "platform/ado/Ado.h"

#include "platform/ArchivoIni.h"
#include "platform/ado/Proveedor.h"
#include "platform/ado/Valores.h"

#include <QElapsedTimer>

namespace ado {

using detalle::Columna;
using detalle::Resultado;

Falla::Falla(Numero number, QString description, QString source, QList<Error> registros)
    : Number(number), Description(std::move(description)), Source(std::move(source)),
      Registros(std::move(registros)), utf8_(Description.toUtf8()) {}
Falla::~Falla() = default;
Falla::Falla(const Falla&) = default;
Falla& Falla::operator=(const Falla&) = default;

namespace {

Falla fallaAdo(Numero numero, const QString& descripcion) {
    return Falla(numero, descripcion, QStringLiteral("ADODB"));
}

} // namespace

// Provider failures land in the connection's error list before they travel on.
template <typename F> auto Connection::conErrores(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const Falla& falla) {
        errores_.Add(falla.Registros);
        throw;
    }
}

// ---------------------------------------------------------------- Field

QString Field::Name() const {
    return rs_->d_ ? rs_->cabecera(indice_).nombre : QString();
}
int Field::Type() const {
    return rs_->cabecera(indice_).tipo;
}
int Field::DefinedSize() const {
    return rs_->cabecera(indice_).tamano;
}
QVariant Field::Value() const {
    return rs_->valor(indice_);
}
bool Field::EsNulo() const {
    return rs_->valor(indice_).isNull();
}
void Field::setValue(const QVariant& valor) {
    rs_->asigna(indice_, valor);
}

// ---------------------------------------------------------------- Recordset

struct Recordset::Datos {
    QList<Columna> columnas;
    QList<QVariantList> filas;
    QVariantList pendiente;     // the row being edited or added
    QList<bool> cambiado;       // which of its fields were assigned
    QList<int> camposInsercion; // the fields of the last INSERT made
    QString insercion;          // and its text
};

Recordset::Recordset() : d_(std::make_unique<Datos>()) {}
Recordset::~Recordset() = default;

const Columna& Recordset::cabecera(int i) const {
    exigeAbierto();
    if (i < 0 || i >= d_->columnas.size())
        throw FallaSinElemento(QStringLiteral("ADODB"));
    return d_->columnas[i];
}

void Recordset::exigeAbierto() const {
    if (!abierto_)
        throw fallaAdo(codigo::adErrObjectClosed,
                       QStringLiteral("Operation is not allowed when the object is closed."));
}

void Recordset::exigeFilaActual() const {
    exigeAbierto();
    if (pos_ < 0 || pos_ >= d_->filas.size())
        throw fallaAdo(codigo::adErrNoCurrentRecord,
                       QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                      "deleted. Requested operation requires a current record."));
}

void Recordset::Open(const QString& source, Connection& cn, int cursorType, int lockType,
                     int /*options*/) {
    if (abierto_)
        throw fallaAdo(codigo::adErrObjectOpen,
                       QStringLiteral("Operation is not allowed when the object is open."));
    Resultado r = cn.ejecuta(source);
    cn_ = &cn;
    source_ = source;
    cursorType_ = cursorType;
    lockType_ = lockType;
    cargaResultado(std::move(r.columnas), std::move(r.filas));
}

void Recordset::cargaResultado(QList<Columna> columnas, QList<QVariantList> filas) {
    d_->columnas = std::move(columnas);
    d_->filas = std::move(filas);
    d_->pendiente.clear();
    d_->cambiado.clear();
    editMode_ = adEditNone;
    pos_ = 0;
    abierto_ = true;
}

void Recordset::Close() {
    exigeAbierto();
    if (editMode_ != adEditNone)
        throw fallaAdo(codigo::adErrIllegalOperation,
                       QStringLiteral("Operation is not allowed in this context."));
    abierto_ = false;
    d_->columnas.clear();
    d_->filas.clear();
}

bool Recordset::BOF() const {
    exigeAbierto();
    return d_->filas.isEmpty() || pos_ < 0;
}

bool Recordset::Eof() const {
    exigeAbierto();
    return d_->filas.isEmpty() || pos_ >= d_->filas.size();
}

void Recordset::MoveFirst() {
    confirmaPendiente();
    pos_ = 0;
}

void Recordset::MoveNext() {
    confirmaPendiente();
    if (pos_ >= d_->filas.size())
        exigeFilaActual();
    ++pos_;
}

void Recordset::MovePrevious() {
    confirmaPendiente();
    if (pos_ < 0)
        exigeFilaActual();
    --pos_;
}

void Recordset::MoveLast() {
    confirmaPendiente();
    pos_ = d_->filas.size() - 1;
    if (d_->filas.isEmpty())
        pos_ = 0;
}

int Recordset::RecordCount() const {
    exigeAbierto();
    return static_cast<int>(d_->filas.size());
}

QList<QVariantList> Recordset::GetRows() {
    exigeFilaActual();
    QList<QVariantList> porCampo(d_->columnas.size());
    for (; pos_ < d_->filas.size(); ++pos_)
        for (qsizetype c = 0; c < d_->columnas.size(); ++c)
            porCampo[c].append(d_->filas[pos_][c]);
    return porCampo;
}

int Recordset::FieldCount() const {
    exigeAbierto();
    return static_cast<int>(d_->columnas.size());
}

int Recordset::indiceCampo(const QString& nombre) const {
    for (qsizetype i = 0; i < d_->columnas.size(); ++i)
        if (d_->columnas[i].nombre.compare(nombre, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

bool Recordset::TieneCampo(const QString& nombre) const {
    exigeAbierto();
    return indiceCampo(nombre) >= 0;
}

Field Recordset::Fields(int indice) {
    cabecera(indice);
    return Field(this, indice);
}

Field Recordset::Fields(const QString& nombre) {
    exigeAbierto();
    return Fields(indiceCampo(nombre));
}

namespace {

bool esMoneda(const QVariant& v) {
    return v.metaType() == QMetaType::fromType<Currency>();
}

// What a field shows of an assigned value: money as the double it has always read as.
QVariant comoSeLee(const QVariant& v) {
    return esMoneda(v) ? QVariant(v.value<Currency>().aDouble()) : v;
}

} // namespace

QVariant Recordset::valor(int indice) const {
    cabecera(indice);
    if (editMode_ != adEditNone)
        return comoSeLee(d_->pendiente[indice]);
    exigeFilaActual();
    return d_->filas[pos_][indice];
}

namespace {

// A value as the field's type holds it; 3421 when it cannot be.
QVariant convierteParaCampo(const Columna& c, const QVariant& valor) {
    if (valor.isNull())
        return {};
    const auto tipoErroneo = [] {
        return fallaAdo(codigo::adErrDataConversion,
                        QStringLiteral("Application uses a value of the wrong type for the "
                                       "current operation."));
    };
    const auto id = valor.typeId();
    if (esMoneda(valor)) {
        // Kept exact until the provider binds it.
        if (EsTipoNumero(c.tipo))
            return valor;
        if (EsTipoTexto(c.tipo))
            return valor.value<Currency>().texto();
        throw tipoErroneo();
    }
    if (EsTipoFecha(c.tipo)) {
        if (id == QMetaType::QDateTime)
            return valor;
        if (id == QMetaType::QDate)
            return QDateTime(valor.toDate(), QTime(0, 0));
        if (id == QMetaType::QString) {
            if (auto f = InterpretaFecha(valor.toString()))
                return *f;
        }
        throw tipoErroneo();
    }
    if (EsTipoNumero(c.tipo)) {
        switch (id) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
            return valor.toLongLong();
        case QMetaType::Double:
        case QMetaType::Float:
            return valor.toDouble();
        case QMetaType::Bool:
            return valor.toBool() ? 1 : 0;
        case QMetaType::QString:
            if (auto n = InterpretaNumero(valor.toString())) {
                if (*n == static_cast<double>(static_cast<qint64>(*n)) && c.tipo != adDouble &&
                    c.tipo != adSingle)
                    return static_cast<qint64>(*n);
                return *n;
            }
            break;
        default:
            break;
        }
        throw tipoErroneo();
    }
    if (EsTipoTexto(c.tipo)) {
        if (id == QMetaType::QDateTime)
            return TextoFechaIso(valor.toDateTime());
        if (id == QMetaType::QDate)
            return valor.toDate().toString(Qt::ISODate);
        if (!valor.canConvert<QString>())
            throw tipoErroneo();
        return valor.toString();
    }
    return valor;
}

} // namespace

QVariant ValorParaCampo(int tipoAdo, const QVariant& valor) {
    Columna c;
    c.tipo = tipoAdo;
    return convierteParaCampo(c, valor);
}

void Recordset::asigna(int indice, const QVariant& nuevo) {
    const Columna& c = cabecera(indice);
    if (lockType_ == adLockReadOnly)
        throw fallaAdo(codigo::adErrFeatureNotAvailable,
                       QStringLiteral("Current Recordset does not support updating. This may be "
                                      "a limitation of the provider, or of the selected "
                                      "locktype."));
    const QVariant convertido = convierteParaCampo(c, nuevo);
    if (editMode_ == adEditNone) {
        exigeFilaActual();
        d_->pendiente = d_->filas[pos_];
        d_->cambiado = QList<bool>(d_->columnas.size(), false);
        editMode_ = adEditInProgress;
    }
    d_->pendiente[indice] = convertido;
    d_->cambiado[indice] = true;
}

void Recordset::AddNew() {
    exigeAbierto();
    if (lockType_ == adLockReadOnly)
        throw fallaAdo(codigo::adErrFeatureNotAvailable,
                       QStringLiteral("Current Recordset does not support updating. This may be "
                                      "a limitation of the provider, or of the selected "
                                      "locktype."));
    confirmaPendiente();
    d_->pendiente = QVariantList(d_->columnas.size());
    d_->cambiado = QList<bool>(d_->columnas.size(), false);
    editMode_ = adEditAdd;
}

void Recordset::CancelUpdate() {
    exigeAbierto();
    editMode_ = adEditNone;
    d_->pendiente.clear();
    d_->cambiado.clear();
}

void Recordset::confirmaPendiente() {
    exigeAbierto();
    if (editMode_ != adEditNone)
        Update();
}

namespace {

QString tablaDe(const Columna& c) {
    return c.tablaBase;
}
QString columnaDe(const Columna& c) {
    return c.columnaBase.isEmpty() ? c.nombre : c.columnaBase;
}

} // namespace

void Recordset::Update() {
    exigeAbierto();
    if (editMode_ == adEditNone)
        return;
    // The table the changed fields come from: all of them must share it.
    QString tabla;
    QList<int> cambiados;
    for (qsizetype i = 0; i < d_->columnas.size(); ++i) {
        if (!d_->cambiado[i])
            continue;
        const QString t = tablaDe(d_->columnas[i]);
        if (t.isEmpty() || (!tabla.isEmpty() && t.compare(tabla, Qt::CaseInsensitive) != 0))
            throw fallaAdo(codigo::E_FAIL,
                           QStringLiteral("Insufficient base table information for updating or "
                                          "refreshing."));
        tabla = t;
        cambiados.append(static_cast<int>(i));
    }
    if (cambiados.isEmpty()) {
        if (editMode_ == adEditAdd)
            throw fallaAdo(codigo::E_FAIL, QStringLiteral("Cannot insert an empty row."));
        CancelUpdate();
        return;
    }

    QStringList nombres;
    QVariantList parametros;
    QString sql;
    if (editMode_ == adEditAdd) {
        for (int i : cambiados)
            parametros << d_->pendiente[i];
        // Rows added one after another set the same fields: the text is made once.
        if (d_->camposInsercion != cambiados) {
            QStringList marcas;
            for (int i : cambiados) {
                nombres << CitaIdentificador(columnaDe(d_->columnas[i]));
                marcas << QStringLiteral("?");
            }
            d_->insercion =
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(CitaIdentificador(tabla), nombres.join(u','), marcas.join(u','));
            d_->camposInsercion = cambiados;
        }
        sql = d_->insercion;
    } else {
        for (int i : cambiados) {
            nombres << CitaIdentificador(columnaDe(d_->columnas[i])) + QStringLiteral(" = ?");
            parametros << d_->pendiente[i];
        }
        // The row is found by its primary key when the query holds it, otherwise by
        // every original value of that table's fields.
        const QStringList clave =
            cn_->conErrores([&] { return cn_->proveedor().clavePrimaria(tabla); });
        QList<int> busqueda;
        for (const QString& k : clave) {
            int encontrado = -1;
            for (qsizetype i = 0; i < d_->columnas.size(); ++i)
                if (tablaDe(d_->columnas[i]).compare(tabla, Qt::CaseInsensitive) == 0 &&
                    columnaDe(d_->columnas[i]).compare(k, Qt::CaseInsensitive) == 0)
                    encontrado = static_cast<int>(i);
            if (encontrado < 0) {
                busqueda.clear();
                break;
            }
            busqueda.append(encontrado);
        }
        if (busqueda.isEmpty())
            for (qsizetype i = 0; i < d_->columnas.size(); ++i)
                if (tablaDe(d_->columnas[i]).compare(tabla, Qt::CaseInsensitive) == 0)
                    busqueda.append(static_cast<int>(i));
        QStringList condiciones;
        for (int i : busqueda) {
            const QVariant& original = d_->filas[pos_][i];
            if (original.isNull()) {
                condiciones << CitaIdentificador(columnaDe(d_->columnas[i])) +
                                   QStringLiteral(" IS NULL");
            } else {
                condiciones << CitaIdentificador(columnaDe(d_->columnas[i])) +
                                   QStringLiteral(" = ?");
                parametros << original;
            }
        }
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                  .arg(CitaIdentificador(tabla), nombres.join(u", "),
                       condiciones.join(QStringLiteral(" AND ")));
    }

    const Resultado r = cn_->ejecuta(sql, parametros);
    if (r.filasAfectadas != 1)
        throw fallaAdo(codigo::DB_E_ROWNOTFOUND,
                       QStringLiteral("Row cannot be located for updating. Some values may have "
                                      "been changed since it was last read."));
    if (editMode_ == adEditAdd) {
        // Keys the database assigned show in the new row, as a client cursor resyncs them.
        const QVariant id = cn_->conErrores([&] { return cn_->proveedor().ultimaIdentidad(); });
        const QStringList clave =
            cn_->conErrores([&] { return cn_->proveedor().clavePrimaria(tabla); });
        if (!id.isNull() && clave.size() == 1)
            for (qsizetype i = 0; i < d_->columnas.size(); ++i)
                if (!d_->cambiado[i] &&
                    columnaDe(d_->columnas[i]).compare(clave.first(), Qt::CaseInsensitive) == 0)
                    d_->pendiente[i] = id;
        d_->filas.append(d_->pendiente);
        pos_ = d_->filas.size() - 1;
    } else {
        d_->filas[pos_] = d_->pendiente;
    }
    for (QVariant& v : d_->filas[pos_])
        if (esMoneda(v))
            v = comoSeLee(v);
    editMode_ = adEditNone;
    d_->pendiente.clear();
    d_->cambiado.clear();
}

// ---------------------------------------------------------------- schema rowsets

namespace detalle {

namespace {

Resultado sinFilas(std::initializer_list<const char*> nombres) {
    Resultado r;
    for (const char* n : nombres) {
        Columna c;
        c.nombre = QString::fromLatin1(n);
        r.columnas.append(c);
    }
    return r;
}

} // namespace

Resultado EsquemaDeTablas() {
    return sinFilas({"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "TABLE_TYPE"});
}

Resultado EsquemaDeColumnas() {
    return sinFilas({"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "COLUMN_NAME",
                     "ORDINAL_POSITION", "DATA_TYPE", "CHARACTER_MAXIMUM_LENGTH", "IS_NULLABLE"});
}

} // namespace detalle

// ---------------------------------------------------------------- Connection

Connection::Connection(FabricaProveedor fabrica) : fabrica_(std::move(fabrica)) {}
Connection::~Connection() {
    if (proveedor_) {
        try {
            proveedor_->cerrar();
        } catch (const Falla&) {
            // Nothing to tell anyone while going away.
        }
    }
}

void Connection::exigeAbierta() const {
    if (!proveedor_)
        throw fallaAdo(codigo::adErrInvalidConnection,
                       QStringLiteral("The connection cannot be used to perform this operation. "
                                      "It is either closed or invalid in this context."));
}

detalle::Proveedor& Connection::proveedor() const {
    exigeAbierta();
    return *proveedor_;
}

int Connection::State() const {
    return proveedor_ ? adStateOpen : adStateClosed;
}

void Connection::setCommandTimeout(int segundos) {
    commandTimeout_ = segundos;
    if (proveedor_)
        conErrores([&] { proveedor_->fijaTiempoComando(segundos); });
}

void Connection::setIsolationLevel(int nivel) {
    isolationLevel_ = nivel;
    if (proveedor_)
        conErrores([&] { proveedor_->fijaAislamiento(nivel); });
}

void Connection::setDefaultDatabase(const QString& base) {
    exigeAbierta();
    errores_.Clear();
    conErrores([&] { proveedor_->fijaBaseDefecto(base); });
    defaultDatabase_ = base;
}

void Connection::Open(const QString& connectionString, const QString& userId,
                      const QString& password, int /*options*/) {
    if (proveedor_)
        throw fallaAdo(codigo::adErrObjectOpen,
                       QStringLiteral("Operation is not allowed when the object is open."));
    errores_.Clear();
    if (!connectionString.isEmpty())
        cadena_ = connectionString;
    const auto datos =
        conErrores([&] { return detalle::InterpretaCadena(cadena_, userId, password, odbc_); });
    auto nuevo = fabrica_ ? fabrica_(datos)
                 : datos.tipo == detalle::DatosConexion::Tipo::Embebida
                     ? detalle::CreaProveedorEmbebido()
                     : detalle::CreaProveedorOdbc();
    conErrores([&] {
        nuevo->abrir(datos, odbc_.segundosConexion);
        nuevo->fijaTiempoComando(commandTimeout_);
    });
    proveedor_ = std::move(nuevo);
    enTransaccion_ = false;
}

void Connection::Close() {
    if (!proveedor_)
        throw fallaAdo(codigo::adErrObjectClosed,
                       QStringLiteral("Operation is not allowed when the object is closed."));
    auto p = std::move(proveedor_);
    enTransaccion_ = false;
    conErrores([&] { p->cerrar(); });
}

Resultado Connection::ejecuta(const QString& sql, const QVariantList& parametros) {
    exigeAbierta();
    errores_.Clear();
    QElapsedTimer reloj;
    reloj.start();
    try {
        Resultado r = proveedor_->ejecuta(sql, parametros);
        errores_.Add(r.avisos);
        traza_.Anota(sql, reloj.nsecsElapsed() / 1000,
                     r.columnas.isEmpty() ? r.filasAfectadas : static_cast<long>(r.filas.size()));
        return r;
    } catch (const Falla& falla) {
        traza_.AnotaFalla(sql, reloj.nsecsElapsed() / 1000);
        errores_.Add(falla.Registros);
        throw;
    }
}

void Connection::Execute(const QString& commandText, long* recordsAffected, Recordset* resultado,
                         int /*options*/) {
    Resultado r = ejecuta(commandText);
    if (recordsAffected)
        *recordsAffected = r.filasAfectadas;
    if (resultado) {
        if (resultado->State() == adStateOpen)
            resultado->Close();
        resultado->cn_ = this;
        resultado->source_ = commandText;
        resultado->cursorType_ = adOpenForwardOnly;
        resultado->lockType_ = adLockReadOnly;
        resultado->cargaResultado(std::move(r.columnas), std::move(r.filas));
    }
}

void Connection::Execute(const QString& commandText, const QVariantList& parametros,
                         long* recordsAffected) {
    const Resultado r = ejecuta(commandText, parametros);
    if (recordsAffected)
        *recordsAffected = r.filasAfectadas;
}

void Connection::BeginTrans() {
    exigeAbierta();
    errores_.Clear();
    if (enTransaccion_)
        throw fallaAdo(codigo::XACT_E_XTIONEXISTS,
                       QStringLiteral("Only one transaction can be active on this session."));
    traza_.Mide(QStringLiteral("BEGIN TRANSACTION"),
                [&] { conErrores([&] { proveedor_->iniciaTransaccion(); }); });
    enTransaccion_ = true;
}

void Connection::CommitTrans() {
    terminaTransaccion(true);
}

void Connection::RollbackTrans() {
    terminaTransaccion(false);
}

void Connection::terminaTransaccion(bool confirma) {
    exigeAbierta();
    errores_.Clear();
    if (!enTransaccion_)
        throw fallaAdo(codigo::XACT_E_NOTRANSACTION, QStringLiteral("No transaction is active."));
    enTransaccion_ = false;
    traza_.Mide(confirma ? QStringLiteral("COMMIT TRANSACTION")
                         : QStringLiteral("ROLLBACK TRANSACTION"),
                [&] {
                    conErrores([&] {
                        if (confirma)
                            proveedor_->confirmaTransaccion();
                        else
                            proveedor_->revierteTransaccion();
                    });
                });
}

void Connection::OpenSchema(int schema, const QVariantList& restricciones, Recordset& resultado) {
    exigeAbierta();
    errores_.Clear();
    const auto restriccion = [&](int i) {
        return i < restricciones.size() ? restricciones[i].toString().trimmed() : QString();
    };
    Resultado r;
    int columnaTabla = 2;
    if (schema == adSchemaTables) {
        r = conErrores([&] { return proveedor_->tablas(); });
    } else if (schema == adSchemaColumns) {
        r = conErrores([&] { return proveedor_->columnas(restriccion(2)); });
    } else {
        throw fallaAdo(codigo::adErrFeatureNotAvailable,
                       QStringLiteral("Object or provider is not capable of performing requested "
                                      "operation."));
    }
    // Filter by the restrictions the provider did not apply: table, then column.
    const QString tabla = restriccion(2);
    const QString columna = schema == adSchemaColumns ? restriccion(3) : QString();
    QList<QVariantList> filas;
    for (auto& fila : r.filas) {
        if (!tabla.isEmpty() &&
            fila[columnaTabla].toString().compare(tabla, Qt::CaseInsensitive) != 0)
            continue;
        if (!columna.isEmpty() && fila[3].toString().compare(columna, Qt::CaseInsensitive) != 0)
            continue;
        filas.append(std::move(fila));
    }
    if (resultado.State() == adStateOpen)
        resultado.Close();
    resultado.cn_ = this;
    resultado.lockType_ = adLockReadOnly;
    resultado.cargaResultado(std::move(r.columnas), std::move(filas));
}

OpcionesOdbc LeeOpcionesOdbc(const QString& rutaIni) {
    OpcionesOdbc o;
    const QString seccion = QStringLiteral("ODBC");
    o.driverSqlServer =
        ArchivoIni::LeeDe(rutaIni, seccion, QStringLiteral("DriverSqlServer"), o.driverSqlServer);
    o.driverOracle =
        ArchivoIni::LeeDe(rutaIni, seccion, QStringLiteral("DriverOracle"), o.driverOracle);
    bool ok = false;
    const int segundos =
        ArchivoIni::LeeDe(rutaIni, seccion, QStringLiteral("SegundosConexion"), QString())
            .toInt(&ok);
    if (ok && segundos > 0)
        o.segundosConexion = segundos;
    return o;
}

} // namespace ado
