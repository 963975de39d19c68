// Statement lists for data changes: building INSERT/UPDATE statements from
// column/value pairs, running a list in one transaction, logging a failed list in
// AUX_ERR, and the data-error dialog of a failed save.

#include "app/Aplicacion.h"

#include "platform/Pasos.h"

namespace {

const QString kCr = QStringLiteral("\r");
const QString kNl = QStringLiteral("\r\n");

// "<native> : <description>" CR LF for each message but the last; a single
// message is shown whole.
QString textoMensajes(const ado::Errores& errores) {
    const int n = errores.Count();
    const int hasta = n == 1 ? 1 : n - 1;
    QString texto;
    for (int i = 0; i < hasta; ++i)
        texto += QString::number(errores.Item(i).NativeError) + QStringLiteral(" : ") +
                 errores.Item(i).Description + kNl;
    return texto;
}

} // namespace

void Aplicacion::AgregaCampoValor(const QString& Campo, QString& Valor, const QString& Marca,
                                  bool Nuevo) {
    if (Nuevo)
        Pares = QList<ParCampoValor>{ParCampoValor{}};
    else
        Pares.append(ParCampoValor{});
    // The suite's convention: values lose their apostrophes rather than doubling them.
    Valor.remove(u'\'');
    ParCampoValor& par = Pares.last();
    par.Campo = Campo;
    par.Valor = Valor.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0
                    ? QStringLiteral("Null")
                    : DB_Dll::SQLValue(Valor, Marca);
}

void Aplicacion::ArmaSentencia(QList<ParCampoValor>& pares, QStringList& Sentencias,
                               const QString& Tabla, bool EsUpdate, QString& Condicion,
                               bool ConservaPares) {
    // The list is reset to one empty pair, so a caller that goes on adding without
    // starting anew leaves that placeholder first: it names no column and is skipped.
    QStringList campos;
    QStringList valores;
    QStringList asignaciones;
    for (const ParCampoValor& par : pares) {
        if (par.Campo.isEmpty())
            continue;
        campos << par.Campo;
        valores << par.Valor;
        asignaciones << par.Campo + QStringLiteral(" = ") + par.Valor;
    }
    QString sentencia;
    if (EsUpdate) {
        if (!Condicion.contains(QLatin1String("WHERE"), Qt::CaseInsensitive))
            Condicion = QStringLiteral(" WHERE ") + Condicion;
        sentencia = QStringLiteral("UPDATE ") + Tabla + QStringLiteral(" SET ") +
                    asignaciones.join(u',') + u' ' + Condicion;
    } else {
        sentencia = QStringLiteral("INSERT INTO ") + Tabla + QStringLiteral(" (") +
                    campos.join(u',') + QStringLiteral(") VALUES (") + valores.join(u',') + u')';
    }
    Sentencias << sentencia << QString();
    if (!ConservaPares)
        pares = QList<ParCampoValor>{ParCampoValor{}};
}

void Aplicacion::GActualizarDatoScript(QStringList& Sentencias, bool& HuboError,
                                       qint32& CodigoError, bool SilenciaClaveDuplicada,
                                       bool SilenciaRestriccion, QString& ScriptEjecutado,
                                       QString& MensajeError, bool MuestraMensaje) {
    HuboError = false;
    QString script;
    QString sqlEjecutada;
    QString texto;
    qint32 codigo = 0;
    bool vacio = false;
    const auto ignora = [](const auto& paso) {
        try {
            paso();
        } catch (const ado::Falla&) { // only the error list tells the outcome
        }
    };
    // The connection's messages, if any, make the list a failure.
    const auto leeErrores = [&] {
        ado::Errores& errores = db.gCnn().Errors();
        if (errores.Count() == 0)
            return;
        codigo = errores.Item(0).NativeError;
        HuboError = true;
        texto = textoMensajes(errores);
        MensajeError = texto;
        if ((SilenciaClaveDuplicada && codigo == 2627) || (SilenciaRestriccion && codigo == 547)) {
            MensajeError = errores.Item(0).Description;
            texto.clear();
        }
        errores.Clear();
    };
    const auto registraFalla = [&] {
        RegistraErrorAux(sqlEjecutada, db.ejecutable(), codigo, texto);
        if (!texto.trimmed().isEmpty() && MuestraMensaje)
            dialogo.MsgBox(
                texto, plataforma::Estilo{plataforma::Botones::OKOnly, plataforma::Icono::Critical},
                QStringLiteral("Aviso al Operador!"));
    };
    plataforma::CorrePasos(
        [this](const ado::Falla& f) {
            return plataforma::SaleSiNoHubo(TratamientoErroresGlobal(
                f, plataforma::kEstiloError, QStringLiteral("GActualizarDatoScript")));
        },
        {[&] {
             for (const QString& s : Sentencias)
                 if (!s.trimmed().isEmpty())
                     script += kCr + s;
             vacio = script.isEmpty();
         },
         [&] {
             if (vacio)
                 return;
             script = QStringLiteral("BEGIN TRANSACTION ") + kCr + kCr + script + kCr;
             ScriptEjecutado = script;
         },
         [&] {
             if (vacio)
                 return;
             sqlEjecutada = script;
             long filas = 0;
             ignora([&] { db.EjecutaConsultaSQL(sqlEjecutada, filas); });
         },
         [&] {
             if (!vacio)
                 leeErrores();
         },
         [&] {
             if (vacio)
                 return;
             if (HuboError) {
                 ignora([&] { db.EjecutaConsultaSQL(QStringLiteral("ROLLBACK TRANSACTION")); });
                 registraFalla();
                 return;
             }
             db.EjecutaConsultaSQL(QStringLiteral("COMMIT TRANSACTION"));
             // A refused commit has written nothing: the server has ended the
             // transaction, so there is nothing to roll back, but the list failed.
             // The whole script is logged, as none of it was kept.
             leeErrores();
             if (HuboError) {
                 if (sqlEjecutada.trimmed().isEmpty())
                     sqlEjecutada = script;
                 registraFalla();
             }
         },
         [&] {
             if (!vacio)
                 CodigoError = codigo;
         }});
}

void Aplicacion::RegistraErrorAux(const QString& SQL, QString Proceso, qint32 Error,
                                  const QString& Descripcion) {
    if (Proceso.isEmpty())
        Proceso = db.ejecutable();
    ado::Recordset rs;
    // Opened on the path that raises: the log of a failure must never put a box in
    // front of the operator, not even the one of a failed open. Every failure is
    // skipped: a missing log row must not turn into a second failure.
    plataforma::CorrePasos(
        plataforma::OmiteFalla,
        {[&] {
             db.ConsultaEditable(QStringLiteral("select  top 1 * from AUX_ERR  with(nolock) "), rs);
         },
         [&] { rs.AddNew(); }, [&] { rs.Fields(QStringLiteral("Proceso")) = Proceso; },
         [&] {
             const QDateTime ahora = reloj ? reloj() : QDateTime::currentDateTime();
             rs.Fields(QStringLiteral("Fecha")) = ahora.toString(QStringLiteral("dd/MM/yy HH:mm"));
         },
         [&] { rs.Fields(QStringLiteral("Error")) = Error; },
         [&] { rs.Fields(QStringLiteral("Descripcion")) = Utilidades::Recorta(Descripcion, 250); },
         [&] { rs.Fields(QStringLiteral("SQL")) = SQL; },
         [&] { rs.Fields(QStringLiteral("pc")) = nombreMaquina; },
         [&] { rs.Fields(QStringLiteral("Usuario")) = db.gUsuario; }, [&] { rs.Update(); },
         [&] {
             if (rs.State() == ado::adStateOpen) {
                 if (rs.EditMode() != ado::adEditNone)
                     rs.CancelUpdate();
                 rs.Close();
             }
         }});
}

std::optional<plataforma::Respuesta> Aplicacion::MuestraErrorDatos(const ado::Falla& ErrorObj,
                                                                   const QString& Campo) {
    using plataforma::Respuesta;
    const QString conversion =
        QStringLiteral("Verifique las siguientes opciones: ") + kNl + kNl +
        QStringLiteral("1) Ha ingresado letras donde debe ingresar numeros") + kNl + kNl +
        QStringLiteral("2) Debe ingresar una fecha y el formato es incorrecto") + kNl + kNl +
        QStringLiteral("En el campo: ") + Campo;
    const plataforma::Estilo critico{plataforma::Botones::OKOnly, plataforma::Icono::Critical};
    if (ErrorObj.Number == ado::codigo::adErrDataConversion) {
        dialogo.MsgBox(conversion, critico, QStringLiteral("Error en conversion de datos"));
        return std::nullopt;
    }
    if (!ErrorObj.Registros.isEmpty()) {
        const ado::Error& primero = ErrorObj.Registros.first();
        const QString descripcion = QStringLiteral("Descripcion del Error: ") +
                                    QString::number(primero.NativeError) + QStringLiteral(" - ") +
                                    primero.Description;
        // Explained here, the failure is done with: nobody is to read it again
        // from the connection's list either.
        const auto explicada = [&](const QString& texto, const QString& titulo) {
            dialogo.MsgBox(texto, critico, titulo);
            db.gCnn().Errors().Clear();
            return std::nullopt;
        };
        switch (primero.NativeError) {
        case 1010:
            return explicada(conversion, QStringLiteral("Error en conversion de datos "));
        case 515:
            return explicada(descripcion,
                             QStringLiteral("Error en conversion de datos - NULOS NO PERMITIDO"));
        case 2627:
            return explicada(descripcion + kNl + kNl +
                                 QStringLiteral("La grabacion se ha cancelado... Cambie el campo "
                                                "principal e intente grabar nuevamente"),
                             QStringLiteral("Clave Duplicada"));
        default:
            break;
        }
    }
    const auto respuesta = TratamientoErroresGlobal(ErrorObj, plataforma::kEstiloError,
                                                    QStringLiteral("Actualizar Datos"));
    if (respuesta == Respuesta::Retry || respuesta == Respuesta::Ignore ||
        respuesta == Respuesta::Abort)
        return respuesta;
    return std::nullopt;
}
