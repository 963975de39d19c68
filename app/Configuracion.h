#pragma once
// The configuration store: key/value rows of the configuration table, read and
// written on the main or the statistics connection, and the global settings read
// once at startup.

#include "platform/Currency.h"
#include "platform/DialogoOperador.h"
#include "platform/ado/Ado.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DB_Dll;

// One member per key the loader reads, named after its key.
struct ConfiguracionGlobal {
    bool MostrarStockenConsultas = false;
    QString TituloClientes;
    QString TituloProveedores;
    QString ArchivoTareas; // program folder + "VXDOCTareas.vxf"
    bool EXIGECLAVECONSULTALIKEARTICULOS = false;
    bool UsaConsultaLike = false;
    QString CantidadDecimales = QStringLiteral(" ");
    bool SS_CONFIDENCIALIDAD = false;
    bool UsaMultilesMonedas = false;
    bool UsaFacturaProforma = false;
    bool USACCOSTO = false;
    bool USA_STK_STOCK_UDKG = false;
    QString UNegocio = QStringLiteral("   1");
    QString UNIDADDEMEDIDA_M3;
    QString UNIDADDEMEDIDA_BL;
    QString UNIDADDEMEDIDA_KG;
    qint16 PERIODO = 0;
    bool RazonSocialPorUneg = false;
    bool VALIDACODIGOBARRA = false;
    qint32 CFondo = 0xFFFFFF;
    qint32 CLetra = 0;
    bool ModuloOrdenDeTrabajo = true;
    bool V_ModificaCPrecio = false;
    bool C_ModificaCPrecio = false;
    bool MADERERA = false;
    QString MAD_TIRAS, MAD_P2, MAD_ML, MAD_M2, MAD_HOJAS, MAD_ML_P2, MAD_M2_P2, MAD_ML_M2;
    QString CuentaCtroDist;
    Currency MaxDto;
    Currency MaxDtoProforma;
    bool PideClave_StockNeg = false;
    bool PideClave_MarkUpBase = false;
    bool PideClave_LimiteCredito = false;
    bool SS_BloqueoActivo = false;
    bool UTILIZARFECHADIA = false;
    bool AsignacionAutomaticaDeLoteING = false;
    bool AsignacionAutomaticaDeLoteINGOP = false;
    qint16 CONDIVAEMPRESA = 1;
    QString Top_Default = QStringLiteral("1000");
};

class Configuracion {
public:
    // The shared error dialog of the frame: (error, buttons, routine) -> answer,
    // nothing for an error numbered 0.
    using Tratamiento = std::function<std::optional<plataforma::Respuesta>(
        const ado::Falla&, plataforma::Estilo, const QString&)>;

    Configuracion(DB_Dll& principal, DB_Dll& estadisticas, plataforma::DialogoOperador& dialogo,
                  Tratamiento tratamiento);

    // The table's name; blank until the first read or the loader sets it.
    QString gTablaConfiguracion;
    ConfiguracionGlobal global;

    // The value of a key; one blank when the key has no row, "" when the main
    // connection is not open. `ValorAux` receives the auxiliary value.
    QString Cfg(const QString& Clave, QString& ValorAux);
    QString Cfg(const QString& Clave);
    // A key's value and auxiliary value, as Cfg gives them.
    struct ValorCfg {
        QString valor, aux;
    };
    // The values of several keys with one statement, in the order asked, each as
    // Cfg would read it. Nothing when the main connection is not open or the read
    // failed (nothing is shown): the caller then reads key by key.
    std::optional<QList<ValorCfg>> CfgVarias(const QStringList& Claves);
    QString CfgVX(const QString& Clave, QString& ValorAux);
    QString CfgVX(const QString& Clave);
    // Inserts or updates one key; failures are skipped without a word.
    void GrabaDfg(const QString& Clave, const QVariant& Valor, const QString& ValorAux = {},
                  bool PoliticaNegocio = false, const QString& Grupo = {},
                  bool RecortaValor = true);
    void GrabaCfgVX(const QString& Clave, const QVariant& Valor, const QString& ValorAux = {},
                    bool PoliticaNegocio = false, const QString& Grupo = {},
                    bool RecortaValor = true);
    bool ExisteRegistro(const QString& Tabla, const QString& Valor, const QString& Campo,
                        ado::Recordset* Registros = nullptr, int Tipo = 0,
                        const QString& Condicion = {}, bool Reabre = true);
    // Reads every global setting; `usuarioLogeado` picks the user's row.
    void CargaConfiguracionGlobal(const QString& CarpetaPrograma, const QString& usuarioLogeado);

    // The statement Cfg sends for a key, and the one GrabaDfg opens.
    QString SentenciaCfg(const QString& Clave) const;
    QString SentenciaGrabaDfg(const QString& Clave) const;
    QString SentenciaCfgVarias(const QStringList& Claves) const;

private:
    QString lee(DB_Dll& db, const QString& rutina, const QString& Clave, QString& ValorAux);
    void graba(DB_Dll& db, const QString& Clave, const QVariant& Valor, const QString& ValorAux,
               bool PoliticaNegocio, const QString& Grupo, bool RecortaValor);

    DB_Dll& principal_;
    DB_Dll& estadisticas_;
    plataforma::DialogoOperador& dialogo_;
    Tratamiento tratamiento_;
};
