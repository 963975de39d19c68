#pragma once
// Small databases for the sheet's tests, made from the program's schema, and the
// application started on them with the scripted operator.

#include "DialogoGuionado.h"
#include "ProveedorFallido.h"
#include "app/Aplicacion.h"
#include "platform/Utilidades.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"
#include "sheet/Reparto.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace prueba {

inline QString art(const QString& id) {
    return Utilidades::AjustaCodigo(id, 25);
}

// Articles A1 (rubro 1, class prices 100..500, rate 21, fixed tax 5), A2 (rubro 2,
// rate null), A3 (suspended); accounts of each kind; run 120 open with one line
// of A1 and two sales of 3 kg plus one return of 1 kg on its vouchers; run 121
// finalized.
inline QString DatosDemo() {
    QStringList s;
    s << QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                        "('DATOS','PIVA','10.5'), ('DATOS','CANTIDADDECIMALES','2');")
      << QStringLiteral("INSERT INTO TA_RUBROS VALUES ('   1','Fiambres'), ('   2','Quesos');")
      << QStringLiteral(
             "INSERT INTO MA_ARTICULOS (IdArticulo, Descripcion, IdRubro, Costo, Precio1, "
             "Precio2, Precio3, Precio4, Precio5, TasaIva, Impuestos, Suspendido) VALUES "
             "('%1','Salame','   1',60,100,200,300,400,500,21,5,0),"
             "('%2','Queso','   2',30,50,55,60,65,70,NULL,0,0),"
             "('%3','Baja','   1',1,1,1,1,1,1,0,0,1);")
             .arg(art("A1"), art("A2"), art("A3"))
      << QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, Descripcion, TITULO, MEDIODEPAGO) VALUES "
                        "('5.1.1','Combustible',0,NULL), ('5.1','Gastos',1,NULL), "
                        "('1.1.1','Caja',0,'   1');")
      << QStringLiteral(
             "INSERT INTO MV_REPARTO (IdReparto, Fecha, Clase, Vehiculo, Chofer, CuentaG1, "
             "Gasto1, ImpRecaudado, FINALIZADO) VALUES "
             "(120,'2024-03-01',1,'AB123','Perez','5.1.1',100,1000,NULL),"
             "(121,'2024-03-02',1,'AB123','Gomez',NULL,NULL,NULL,'2024-03-05');")
      << QStringLiteral("INSERT INTO MV_REPARTODET (IdReparto, IdArticulo, CantidadUD, Cantidad, "
                        "REC_CANTIDADUD, REC_CANTIDAD, DEV_CANTIDADUD, DEV_CANTIDAD) VALUES "
                        "(120,'%1',10,10,2,2.5,99,99);")
             .arg(art("A1"))
      << QStringLiteral(
             "INSERT INTO MV_CPTE (TC, IdComprobante, Cuenta, IdReparto, Importe, Finalizada, "
             "Anulada) VALUES ('FC','000100000001A','C1',120,300,0,0), "
             "('FC','000100000002A','C1',120,450,0,0), "
             "('NC','000100000003B','C1',120,126,0,0);")
      << QStringLiteral(
             "INSERT INTO MV_STOCK (TC, IdComprobante, IdArticulo, Cantidad, CantidadUD) VALUES "
             "('FC','000100000001A','%1',-3,-3), ('FC','000100000002A','%1',-3,-3), "
             "('NC','000100000003B','%1',1,1);")
             .arg(art("A1"))
      << QStringLiteral("INSERT INTO MV_APLICACION (TC, IdComprobante, Cuenta, TCO_ORIGEN, "
                        "IDComprobante_Origen, Importe) VALUES "
                        "('CB','000100000009X','C1','FC','000100000001A',300);");
    return s.join(u'\n');
}

// Numeric accounts, the journal entry's settings, an earlier entry of the month
// (number 4) and cost-centre entries 5 and 7 that the next entry must skip.
inline QString DatosAsiento() {
    return QStringLiteral(
        "INSERT INTO MA_CUENTAS (CODIGO, Descripcion, TITULO, MEDIODEPAGO) VALUES "
        "('511','Combustible',0,NULL), ('512','Peajes',0,NULL), "
        "('513','Viaticos',0,NULL), ('111','Caja',0,'EF');\n"
        "INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
        "('DATOS','EQU_CYB_CreditoCaja',' CBCT '), ('DATOS','PERIODO','2024'), "
        "('DATOS','TIPOREGFACTURACION','CB');\n"
        "INSERT INTO TA_CPTE (CODIGO, TALONARIO, Letras, X_ULTIMO_NRO, X_NRO_HASTA, "
        "X_SUC_DEFAULT) VALUES ('CBCT',1,'X',41,999,3);\n"
        "INSERT INTO MV_ASIENTOS (\"NUMERO ASIENTO\", Mes_Operativo, Tipo_Reg, Periodo, "
        "Cpte_Origen, TC) VALUES (4,3,'CB',2024,'77','CBCT');\n"
        "INSERT INTO MV_ASIENTOSCCOSTO (\"NUMERO ASIENTO\", Mes_Operativo, Tipo_Reg, "
        "Periodo) VALUES (5,3,'CB',2024), (7,3,'CB',2024);");
}

inline void CreaBase(const QString& ruta, const QString& datos) {
    ado::sqlite::CreaBaseEmbebida(ruta, recursos::EsquemaSql(), datos);
}

// Not connected yet: the window's load connects it.
inline std::unique_ptr<Aplicacion> Inicia(DialogoGuionado& dialogo, const QTemporaryDir& dir,
                                          const QString& base, const QString& parametro = {},
                                          ado::FabricaProveedor fabrica = {}) {
    auto app = std::make_unique<Aplicacion>(dialogo, std::move(fabrica));
    app->carpetaEjecutable = dir.path();
    app->carpetaPuesto = dir.path();
    app->db.carpetaLog = dir.path();
    app->lineaProceso = QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= ; "
                                       "@ParametroAdicional=%2; @Caja=1;kora@")
                            .arg(base, parametro);
    app->terminaPrograma = [] {};
    return app;
}

// The rows of a recordset, one text per row, columns joined by "|"; a date without
// a time as an ISO date.
inline QStringList Filas(ado::Recordset& rs) {
    QStringList r;
    for (; rs.State() == ado::adStateOpen && !rs.Eof(); rs.MoveNext()) {
        QStringList c;
        for (int i = 0; i < rs.FieldCount(); ++i) {
            const QVariant v = rs.Fields(i).Value();
            c << (v.typeId() == QMetaType::QDateTime && v.toDateTime().time() == QTime(0, 0)
                      ? v.toDate().toString(Qt::ISODate)
                      : v.toString());
        }
        r << c.join(u'|');
    }
    return r;
}

inline QStringList Filas(DB_Dll& db, const QString& sql) {
    ado::Recordset rs;
    db.AbrirRecordset(sql, rs);
    const QStringList r = Filas(rs);
    db.CierraRecordset(rs);
    return r;
}

// Everything a save may write.
inline QStringList TablasDeGrabacion(DB_Dll& db) {
    return Filas(db, QStringLiteral("SELECT * FROM MV_REPARTO ORDER BY IdReparto")) +
           Filas(db, QStringLiteral("SELECT * FROM MV_REPARTODET ORDER BY IdReparto, IdArticulo")) +
           Filas(db, QStringLiteral("SELECT * FROM MV_ASIENTOS ORDER BY Id"));
}

// Header fields given as "DataField=texto".
inline void PonCampos(Reparto& r, const QStringList& campos) {
    for (const QString& c : campos)
        r.setCampo(c.section(u'=', 0, 0), c.section(u'=', 1));
}

// Cells given as "fila,columna=texto", or "columna=texto" on the first line.
inline void PonCeldas(Reparto& r, const QStringList& celdas) {
    for (const QString& c : celdas) {
        const QString donde = c.section(u'=', 0, 0);
        const int fila = donde.contains(u',') ? donde.section(u',', 0, 0).toInt() : 0;
        r.Lineas().setTexto(fila, donde.section(u',', -1).toInt(), c.section(u'=', 1));
    }
}

// A fresh database of the demo data, the entry's settings and `extra`, and the
// application connected to it through a provider that fails where `inyeccion` says.
struct Base {
    QTemporaryDir dir;
    DialogoGuionado dialogo;
    std::shared_ptr<Inyeccion> inyeccion = std::make_shared<Inyeccion>();
    std::unique_ptr<Aplicacion> app;

    explicit Base(const QString& extra = {}) {
        CreaBase(ruta(), DatosDemo() + u'\n' + DatosAsiento() + u'\n' + extra);
        app = Inicia(dialogo, dir, ruta(), {}, ProveedorFallido::Fabrica(inyeccion));
        conecta(*app);
    }
    QString ruta() const { return dir.filePath(QStringLiteral("hoja.db")); }
    QStringList filas(const QString& sql) { return Filas(app->db, sql); }
    // Another workstation on the same database, with its own operator.
    std::unique_ptr<Aplicacion> otroPuesto(DialogoGuionado& suDialogo) {
        auto otro = Inicia(suDialogo, dir, ruta());
        conecta(*otro);
        return otro;
    }
    static void conecta(Aplicacion& a) {
        QString cadena;
        if (!a.IniciaAplicacion(false, QString(), cadena, ado::adUseClient))
            qFatal("the test database did not open");
    }
};

} // namespace prueba
