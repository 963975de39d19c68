#include "lookup/Lib_ClsCons3.h"

#include "ArchivosConsulta.h"
#include "SentenciaConsulta.h"
#include "app/Aplicacion.h"

Lib_ClsCons3::Lib_ClsCons3(Aplicacion& app, VistaConsulta& vista) : app_(app), vista_(vista) {
    // Settings read once, in this order, when the controller is made.
    MuestraStock = app_.cfg.Cfg(QStringLiteral("MostrarStockenConsultas"));
    QVariant* niveles[] = {&StkNivel1, &StkNivel2, &StkNivel3, &StkNivel4};
    for (int i = 0; i < 4; ++i) {
        const QString valor = app_.cfg.Cfg(QStringLiteral("Stk_Nivel%1").arg(i + 1));
        *niveles[i] = valor.isEmpty() ? QVariant(0) : QVariant(valor);
    }
    UsaConsultaLike_ = app_.cfg.Cfg(QStringLiteral("UsaConsultaLike"))
                           .compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
    // What startup set for the controller.
    gConnString = app_.consultas.gConnString;
    gUsarMascarasConsultas = app_.consultas.gUsarMascarasConsultas;
    gRutaMascaraConsultas = app_.consultas.gRutaMascaraConsultas;
}

QStringList Lib_ClsCons3::columnasDe(const QString& tabla) {
    QStringList nombres;
    ado::Recordset rs;
    // A table that cannot be read gives no columns; the list then reports the
    // statement that fails.
    if (app_.db.AbrirRecordset(QStringLiteral("select top 1 * from ") + tabla, rs) !=
        DB_Dll::Apertura::Abierta)
        return nombres;
    for (int i = 0; i < rs.FieldCount(); ++i)
        nombres << rs.Fields(i).Name();
    app_.db.CierraRecordset(rs);
    return nombres;
}

void Lib_ClsCons3::vaciaResultados() {
    ValorDevuelto = QVariant();
    Valores.reset();
    Checks = false;
    CampoDevuelto.clear();
}

void Lib_ClsCons3::ConsultaSearch(const QString& SQL, std::optional<QStringList>* Devueltos,
                                  const QString& Clave, QString* CampoBusqueda, QString* Where,
                                  const QString& SentenciaOpcional, const QString& ValoresDefault) {
    QString campo = CampoBusqueda ? *CampoBusqueda : QString();
    QString condicion = consulta::AjustaWhere(Where ? *Where : QString());
    const int filas = consulta::FilasTope(app_.cfg.Cfg(QStringLiteral("TopConsArt")));
    const consulta::Fuentes fuentes{[this](const QString& tabla) {
                                        return consulta::BuscarMascara(gRutaMascaraConsultas,
                                                                       tabla);
                                    },
                                    [this](const QString& tabla) { return columnasDe(tabla); }};
    const consulta::Armado armado = consulta::ArmaSentencia(
        SQL, campo, condicion, SentenciaOpcional, filas, gUsarMascarasConsultas, fuentes);
    if (CampoBusqueda)
        *CampoBusqueda = campo;
    if (Where)
        *Where = condicion;

    if (armado.faltaConfiguracion) {
        app_.dialogo.MsgBox(QStringLiteral("Debe configurar la consulta para esta tabla"),
                            {plataforma::Botones::OKOnly, plataforma::Icono::Information},
                            QStringLiteral("Aviso al operador"));
        // As a cancel leaves them: the caller must not take the last lookup's value.
        vaciaResultados();
        if (Devueltos)
            Devueltos->reset();
        return;
    }

    ListaPedida p;
    p.StkNivel1 = StkNivel1;
    p.StkNivel2 = StkNivel2;
    p.StkNivel3 = StkNivel3;
    p.StkNivel4 = StkNivel4;
    p.MuestraStock = MuestraStock;
    p.CfgUsaConsultaLIKE = UsaConsultaLike_;
    p.OrdenarPorLwv = !consulta::Contiene(armado.sentencia, QStringLiteral("ORDER BY"));
    p.FiltroInicial = Clave;
    p.CampoBusqueda = campo;
    if (gConnString.isEmpty())
        gConnString = app_.db.gConnString;
    p.gConnString = gConnString;
    p.SQL = armado.sentencia;
    p.CampoDevuelto = CampoDevuelto;
    p.CheckBoxes = Checks;
    p.UsaCantidades = UsaCantidades;
    p.ValoresDefault = ValoresDefault;
    Valores.reset();
    Cantidades.reset();
    if (Devueltos)
        p.CmpsDevueltos = *Devueltos;
    p.DestildaAlCargar = Checks;

    const ListaElegida elegida = vista_.MuestraLista(p);
    Checks = false;
    Valores = elegida.Valores;
    Cantidades = elegida.Cantidades;
    ValorDevuelto = elegida.ValorDevuelto;

    CampoDevuelto.clear();
    if (Devueltos)
        Devueltos->reset();
}
