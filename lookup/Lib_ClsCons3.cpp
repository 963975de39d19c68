#include "lookup/Lib_ClsCons3.h"

#include "ArchivosConsulta.h"
#include "SentenciaConsulta.h"
#include "app/Aplicacion.h"
#include "app/Reportes.h"
#include "platform/ArchivoIni.h"

#include <QFile>

#include <algorithm>

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
                                  const QString& SentenciaOpcional, bool TreeView,
                                  const QString& ValoresDefault) {
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

    if (TreeView) {
        Valores.reset();
        const ArbolElegido elegido =
            vista_.MuestraArbol({armado.sentencia, CampoDevuelto, Checks, ValoresDefault});
        ValorDevuelto = elegido.ValorDevuelto;
        Valores = elegido.Valores;
        Checks = false;
        CampoDevuelto.clear();
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

    const ListaElegida elegida = vista_.MuestraLista(p);
    Checks = false;
    Valores = elegida.Valores;
    Cantidades = elegida.Cantidades;
    ValorDevuelto = elegida.ValorDevuelto;

    CampoDevuelto.clear();
    if (Devueltos)
        Devueltos->reset();
}

// ------------------------------------------------------------ simple lookups

ListaElegida Lib_ClsCons3::muestraSimple(const QString& Titulo, const QStringList& filas,
                                         const QList<bool>& marcas, bool checkBoxes,
                                         int caracteres) {
    caracteres = std::max<int>(caracteres, static_cast<int>(Titulo.size()));
    return vista_.MuestraSimple({Titulo, filas, marcas, checkBoxes, caracteres});
}

QString Lib_ClsCons3::ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo,
                                           const QString&) {
    QString ruta = QueArchivo;
    ruta.remove(u'"');
    QFile archivo(BuscaSinMayusculas(ruta));
    if (!ExisteArchivo(QueArchivo) || !archivo.open(QIODevice::ReadOnly)) {
        app_.dialogo.MsgBox(QStringLiteral("No existe el archivo ") + QueArchivo +
                                QStringLiteral(" que desea consultar consulta "),
                            {plataforma::Botones::OKOnly}, QString());
        return {};
    }
    // Lines end in CR LF; a file written elsewhere may end them in LF alone.
    QStringList lineas;
    int caracteres = 0;
    const QByteArray todo = archivo.readAll();
    for (QByteArray linea : todo.split('\n')) {
        if (linea.endsWith('\r'))
            linea.chop(1);
        lineas << QString::fromLatin1(linea);
        caracteres = std::max<int>(caracteres, static_cast<int>(lineas.last().size()));
    }
    if (todo.endsWith('\n') || todo.isEmpty())
        lineas.removeLast(); // the end of the last line opens no new one
    return muestraSimple(Titulo, lineas, {}, false, caracteres).ValorDevuelto.toString();
}

QString Lib_ClsCons3::MenuOpciones(const QString& Titulo, const QStringList& Opc) {
    int caracteres = 0;
    for (const QString& o : Opc)
        caracteres = std::max<int>(caracteres, static_cast<int>(o.size()));
    return muestraSimple(Titulo, Opc, {}, false, caracteres).ValorDevuelto.toString();
}

void Lib_ClsCons3::CheckOpciones(const QString& Titulo, const std::optional<QStringList>&,
                                 const QStringList& Opc) {
    QStringList textos;
    QList<bool> marcas;
    int caracteres = 0;
    for (const QString& o : Opc) {
        marcas << o.startsWith(u'1');
        textos << o.mid(1);
        caracteres = std::max<int>(caracteres, static_cast<int>(o.size()));
    }
    Valores = muestraSimple(Titulo, textos, marcas, true, caracteres).Valores;
}
