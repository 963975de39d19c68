#pragma once
// The lookup controller: one object that every lookup of the program goes
// through. A caller sets its properties, calls a lookup and reads the result back
// from the properties. It builds the statement and hands it to a list view; it
// shows nothing itself but the configuration message, through the operator-dialog
// service, so it is tested without windows.

#include "platform/ado/Ado.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class Aplicacion;

// What the list dialog is given for one lookup.
struct ListaPedida {
    QVariant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    bool CfgUsaConsultaLIKE = false;
    bool OrdenarPorLwv = false;
    QString FiltroInicial;
    QString CampoBusqueda;
    QString gConnString;
    QString SQL;
    QString CampoDevuelto;
    bool CheckBoxes = false;
    bool UsaCantidades = false;
    QString ValoresDefault;
    std::optional<QStringList> CmpsDevueltos;
    // Load before showing and untick every row, the ones ValoresDefault ticked too.
    bool DestildaAlCargar = false;
};

// What the list dialog gives back when it closes.
struct ListaElegida {
    QVariant ValorDevuelto;
    std::optional<QVariantList> Valores;
    std::optional<QVariantList> Cantidades;
};

// Shows one list lookup modally: a fresh dialog each time.
class VistaConsulta {
public:
    virtual ~VistaConsulta() = default;
    virtual ListaElegida MuestraLista(const ListaPedida& pedido) = 0;
};

class Lib_ClsCons3 {
public:
    // Reads its settings from the configuration table and takes the definition
    // file and connection text that startup left in the application object.
    Lib_ClsCons3(Aplicacion& app, VistaConsulta& vista);

    QVariant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    QStringList CmpsDevueltos; // kept for callers; lookups use the list they are given
    std::optional<QVariantList> Valores = QVariantList();
    std::optional<QVariantList> Cantidades;
    bool Checks = false;
    QVariant ValorDevuelto;
    QString gConnString;
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    bool UsaCantidades = false;
    QString CampoDevuelto;

    // The lookup over a table, a view or a query (any text containing SELECT). The
    // chosen row's CampoDevuelto goes to ValorDevuelto, the columns named in
    // `Devueltos` to Valores. `CampoBusqueda` and `Where`, when given, come back
    // as the lookup left them; `Devueltos` comes back absent.
    void ConsultaSearch(const QString& SQL, std::optional<QStringList>* Devueltos = nullptr,
                        const QString& Clave = {}, QString* CampoBusqueda = nullptr,
                        QString* Where = nullptr, const QString& SentenciaOpcional = {},
                        const QString& ValoresDefault = {});

    bool UsaConsultaLike() const { return UsaConsultaLike_; }

private:
    QStringList columnasDe(const QString& tabla);
    void vaciaResultados();

    Aplicacion& app_;
    VistaConsulta& vista_;
    bool UsaConsultaLike_ = false;
};
