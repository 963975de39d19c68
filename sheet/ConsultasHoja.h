#pragma once
// The sheet's lookups without widgets: which lookup a field asks for, the
// columns a table's lookup shows, and what the chosen value does to the run.
// The window runs the field's Enter handling afterwards.

#include <QString>

#include <memory>

class Aplicacion;
class Lib_ClsCons3;
class Reparto;
class VistaConsulta;

// Fills the description, key and extra columns of a table's lookup by the
// table's name (case ignored); a name no rule knows leaves them as they are.
void DefinicionConsulta(const QString& tabla, QString& descripcion, QString& clave, QString& extra);

// What a field's lookup is.
struct ConsultaDeCampo {
    enum class Tipo {
        Ninguna,
        Fecha,    // the date picker
        Cuentas,  // the chart of accounts
        Repartos, // the runs, newest first
        Rubros,   // the rubros, whose code is added to the list
        Tabla,    // the table named by the key, through DefinicionConsulta
    };
    Tipo tipo = Tipo::Ninguna;
    QString destino; // the DataField that receives the chosen value
    QString tabla;   // for Tabla
};

// The lookup of the field `dataField` whose lookup key (its Tag) is `clave`.
ConsultaDeCampo QueConsulta(const QString& dataField, const QString& clave);

class ConsultasHoja {
public:
    ConsultasHoja(Aplicacion& app, std::unique_ptr<VistaConsulta> vista);
    ~ConsultasHoja();

    // What the window does after a lookup: nothing, confirm the field as Enter
    // would, or check another field (an amount's account) and stay.
    struct Resultado {
        QString campo; // empty: nothing was chosen
        bool confirma = false;
    };

    // Runs the lookup of the field and puts the chosen value into the run.
    Resultado Consultar(const QString& dataField, const QString& clave, Reparto& r);

    // The columns of a table's lookup and, with `ejecuta`, the lookup itself over
    // them: the chosen value comes back in `clave`, empty when none was chosen.
    void DefinicionConsulta(const QString& tabla, QString& descripcion, QString& clave,
                            QString& extra, bool ejecuta, const QString& sqlExtra);

    // The run list's statement.
    static QString SentenciaRepartos();

    // The shared controller, made on first use.
    Lib_ClsCons3& Controlador();

private:
    QString busca(const QString& sql, const QString& campoDevuelto);

    Aplicacion& app_;
    std::unique_ptr<VistaConsulta> vista_;
    std::unique_ptr<Lib_ClsCons3> controlador_;
};
