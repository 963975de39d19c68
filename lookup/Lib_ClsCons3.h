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

// What the tree dialog is given for one lookup.
struct ArbolPedido {
    QString SQL;
    QString CampoDevuelto;
    bool CheckBoxes = false;
    QString ValoresDefault; // codes ticked when the rows are read
};

// What the list dialog is given for one lookup: what the tree is given, and more.
struct ListaPedida : ArbolPedido {
    QVariant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    bool CfgUsaConsultaLIKE = false;
    bool OrdenarPorLwv = false;
    QString FiltroInicial;
    QString CampoBusqueda;
    QString gConnString;
    bool UsaCantidades = false;
    std::optional<QStringList> CmpsDevueltos;
};

// What the list dialog gives back when it closes.
struct ListaElegida {
    QVariant ValorDevuelto;
    std::optional<QVariantList> Valores;
    std::optional<QVariantList> Cantidades;
};

// What the tree dialog gives back when it closes.
struct ArbolElegido {
    QVariant ValorDevuelto;
    std::optional<QVariantList> Valores;
};

// A list of texts of the controller's own (a file's lines, options): one column
// headed `Titulo`, whose text the chosen row returns.
struct ListaSimple {
    QString Titulo;
    QStringList filas;
    QList<bool> marcas; // the initial ticks, with check boxes
    bool CheckBoxes = false;
    int caracteres = 0; // the longest of the title and the texts as given
};

// Shows one lookup modally: a fresh dialog each time.
class VistaConsulta {
public:
    virtual ~VistaConsulta() = default;
    virtual ListaElegida MuestraLista(const ListaPedida& pedido) = 0;
    virtual ArbolElegido MuestraArbol(const ArbolPedido& pedido) = 0;
    virtual ListaElegida MuestraSimple(const ListaSimple& lista) = 0;
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
    // as the lookup left them; `Devueltos` comes back absent. With `TreeView` the
    // rows are shown as a tree of nested codes instead of a list.
    void ConsultaSearch(const QString& SQL, std::optional<QStringList>* Devueltos = nullptr,
                        const QString& Clave = {}, QString* CampoBusqueda = nullptr,
                        QString* Where = nullptr, const QString& SentenciaOpcional = {},
                        bool TreeView = false, const QString& ValoresDefault = {});

    // The operator picks a line of a text file; empty text when none. A file that
    // cannot be read is reported. `Separador` is taken for the suite's callers.
    QString ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo,
                                 const QString& Separador = {});
    // The operator picks one of the options; empty text when none.
    QString MenuOpciones(const QString& Titulo, const QStringList& Opc);
    // The operator ticks options; an option's first character "1" ticks it at
    // first, the rest is its text. The ticked texts are left in Valores (absent
    // after a cancel). `CmpsDevueltos` is taken for the suite's callers.
    void CheckOpciones(const QString& Titulo, const std::optional<QStringList>& CmpsDevueltos,
                       const QStringList& Opc);

    bool UsaConsultaLike() const { return UsaConsultaLike_; }

private:
    QStringList columnasDe(const QString& tabla);
    ListaElegida muestraSimple(const QString& Titulo, const QStringList& filas,
                               const QList<bool>& marcas, bool checkBoxes, int caracteres);
    void vaciaResultados();

    Aplicacion& app_;
    VistaConsulta& vista_;
    bool UsaConsultaLike_ = false;
};
