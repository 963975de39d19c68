// The access log on embedded databases: the statistics connection and its
// time-out, one entry record per run with its task, the exit written once and
// only into the run's own record; and the start's own failures.

#include "AplicacionDePrueba.h"
#include "DialogoGuionado.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The demo's menu: ADMIN runs HOJARUTA; MGOMEZ has no task in this program. The
// open record of another workstation must stay open.
const char* const kDatos = R"SQL(
INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('ADMIN', 1), ('MGOMEZ', 0);
INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES ('DATOS', 'SS_CONFIDENCIALIDAD', 'SI');
INSERT INTO TA_MENU (Clave, Nombre, Proceso) VALUES
    ('0201', 'Hoja de Ruta de Reparto', 'HOJARUTA'), ('0901', 'Menu Principal', 'CN000PR');
INSERT INTO TA_TAREAS (USUARIO, TAREA) VALUES ('ADMIN', '0201'), ('MGOMEZ', '0901');
INSERT INTO Control_Acceso (Maquina, Usuario, Formulario, Tarea, Ingreso, EGRESO, NombreUsuario)
VALUES ('PC-DEPOSITO', 'JPEREZ', 'HOJARUTA', 'HOJA DE RUTA DE REPARTO', '18/11/26 06:55', NULL,
        'JPEREZ');
)SQL";

struct FilaAcceso {
    int id = 0;
    QStringList valores; // Maquina, Usuario, Formulario, Tarea, Ingreso, EGRESO, NombreUsuario
};

} // namespace

class TstRegistroAcceso : public QObject {
    Q_OBJECT

private slots:
    void init();
    void registroDeUnaCorrida_data();
    void registroDeUnaCorrida();
    void egresoSoloEnElPropioUnaVez();
    void sinRegistroNoHayEgreso();
    void tiempoDeEspera_data();
    void tiempoDeEspera();
    void sentencias();
    void claveDeEstadisticasNoSeEscribe();
    void inicioNoSeDetiene();
    void cfgQueFallaNoSeRepite();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString base_;
    QString estadisticas_;

    std::unique_ptr<Aplicacion> inicia(DialogoGuionado& dialogo, const QString& usuario,
                                       const QDateTime& momento = prueba::kMomento) {
        auto app = prueba::NuevaAplicacion(dialogo, dir_->path(), momento);
        app->db.nombreEjecutable = QStringLiteral("hojaruta");
        QString cadena;
        const bool ok = app->IniciaAplicacion(
            false,
            QStringLiteral("@server=sqlite; @dbname= %1; @usuario= %2; @Password= ; @Caja=1;kora@")
                .arg(base_, usuario),
            cadena, ado::adUseClient);
        return ok ? std::move(app) : nullptr;
    }
    QList<FilaAcceso> filas() const {
        ado::Connection cn;
        cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;").arg(base_));
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT Id, Maquina, Usuario, Formulario, Tarea, Ingreso, EGRESO, "
                               "NombreUsuario FROM Control_Acceso ORDER BY Id"),
                cn);
        QList<FilaAcceso> r;
        for (; !rs.Eof(); rs.MoveNext()) {
            FilaAcceso f;
            f.id = rs.Fields(0).Value().toInt();
            for (int i = 1; i < rs.FieldCount(); ++i)
                f.valores << (rs.Fields(i).EsNulo() ? QStringLiteral("<nulo>")
                                                    : rs.Fields(i).Value().toString());
            r << f;
        }
        return r;
    }
    void fijaTiempo(const QString& valor) const {
        ado::Connection cn;
        cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;").arg(estadisticas_));
        cn.Execute(QStringLiteral("DELETE FROM TA_CONFIGURACION"));
        if (!valor.isNull())
            cn.Execute(QStringLiteral("INSERT INTO TA_CONFIGURACION (Grupo, Clave, Valor) VALUES "
                                      "('BaseDeDatos', 'TIMEOUT', '%1')")
                           .arg(valor));
    }
};

void TstRegistroAcceso::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    base_ = dir_->filePath(QStringLiteral("hojaruta.db"));
    estadisticas_ = dir_->filePath(QStringLiteral("VX_ESTADISTICAS.db"));
    ado::sqlite::CreaBaseEmbebida(base_, recursos::EsquemaSql(), QString::fromUtf8(kDatos));
    ado::sqlite::CreaBaseEmbebida(estadisticas_, recursos::EstadisticasSql());
    qputenv("HOJARUTA_INI_DIR", dir_->path().toLocal8Bit());
}

void TstRegistroAcceso::registroDeUnaCorrida_data() {
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("tarea");
    // The task query compares the user with a trailing blank, as the suite writes
    // it; the database must ignore it as SQL Server does.
    QTest::newRow("tarea del programa") << "ADMIN"
                                        << "HOJA DE RUTA DE REPARTO";
    QTest::newRow("sin tarea en el programa") << "MGOMEZ"
                                              << "";
}

void TstRegistroAcceso::registroDeUnaCorrida() {
    QFETCH(QString, usuario);
    QFETCH(QString, tarea);
    DialogoGuionado dialogo;
    auto app = inicia(dialogo, usuario);
    QVERIFY(app);
    const QList<FilaAcceso> r = filas();
    QCOMPARE(r.size(), 2);
    QCOMPARE(app->gIdAcceso, r.last().id);
    QCOMPARE(r.last().valores,
             (QStringList{QStringLiteral("PC01"), usuario, QStringLiteral("HOJARUTA"), tarea,
                          QStringLiteral("15/03/24 10:42"), QStringLiteral("<nulo>"), usuario}));
    QCOMPARE(app->sesion.gUsuarioLogeado, usuario);
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstRegistroAcceso::egresoSoloEnElPropioUnaVez() {
    DialogoGuionado dialogo;
    QDateTime momento = prueba::kMomento;
    auto primera = inicia(dialogo, QStringLiteral("ADMIN"));
    QVERIFY(primera);
    // A second run of the same workstation and user, in the same minute, still open.
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    app->db.nombreEjecutable = QStringLiteral("hojaruta");
    app->reloj = [&momento] { return momento; };
    QString cadena;
    QVERIFY(app->IniciaAplicacion(
        false,
        QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= ;").arg(base_),
        cadena, ado::adUseClient));
    QCOMPARE_NE(app->gIdAcceso, primera->gIdAcceso);
    momento = momento.addSecs(3600);
    app->FinalizaAplicacion();
    momento = momento.addSecs(3600);
    app->FinalizaAplicacion(); // the window, then the end of the session
    QVERIFY(!app->db.gOpenFlag);
    const QList<FilaAcceso> r = filas();
    QCOMPARE(r.size(), 3);
    QCOMPARE(r[0].valores[5], QStringLiteral("<nulo>")); // another workstation's
    QCOMPARE(r[1].valores[5], QStringLiteral("<nulo>")); // the first run, still open
    QCOMPARE(r[2].id, app->gIdAcceso);
    QCOMPARE(r[2].valores[5], QStringLiteral("15/03/24 11:42"));
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstRegistroAcceso::sinRegistroNoHayEgreso() {
    // Without its table the entry is not written (the script runner says so);
    // no Id, and the exit then touches nothing.
    {
        ado::Connection cn;
        cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=sqlite;Database =%1;").arg(base_));
        cn.Execute(QStringLiteral("ALTER TABLE Control_Acceso RENAME TO Otro_Acceso"));
    }
    DialogoGuionado dialogo;
    dialogo.respondeSiempre(plataforma::Respuesta::OK);
    auto app = inicia(dialogo, QStringLiteral("ADMIN"));
    QVERIFY(app);
    QCOMPARE(app->gIdAcceso, 0);
    dialogo.olvida();
    app->FinalizaAplicacion();
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstRegistroAcceso::tiempoDeEspera_data() {
    QTest::addColumn<QString>("valor"); // null: no key; "-": no statistics database
    QTest::addColumn<int>("segundos");
    QTest::addColumn<QString>("guardado"); // the key afterwards
    QTest::newRow("sin clave se crea con 0") << QString() << 360 << "0";
    QTest::newRow("cero") << "0" << 360 << "0";
    QTest::newRow("ciento veinte") << "120" << 120 << "120";
    QTest::newRow("negativo") << "-5" << 360 << "-5";
    QTest::newRow("fuera de 16 bits") << "40000" << 360 << "40000";
    QTest::newRow("sin base de estadisticas") << "-" << 360 << "";
}

void TstRegistroAcceso::tiempoDeEspera() {
    QFETCH(QString, valor);
    QFETCH(int, segundos);
    QFETCH(QString, guardado);
    if (valor == u"-")
        QVERIFY(QFile::remove(estadisticas_));
    else
        fijaTiempo(valor);
    DialogoGuionado dialogo;
    auto app = inicia(dialogo, QStringLiteral("ADMIN"));
    QVERIFY(app);
    QCOMPARE(int(app->sesion.gTimeOut), segundos);
    QCOMPARE(app->db.gCnn().CommandTimeout(), segundos);
    if (valor != u"-")
        QCOMPARE(app->cfg.CfgVX(QStringLiteral("TimeOut")), guardado);
    QCOMPARE(dialogo.mostradas().size(), 0);
    QCOMPARE(filas().size(), 2); // the run is logged all the same
}

void TstRegistroAcceso::sentencias() {
    QCOMPARE(Aplicacion::SentenciaTarea(QStringLiteral("O'BRIEN"), QStringLiteral("hojaruta")),
             QStringLiteral("SELECT TA_TAREAS.USUARIO, TA_MENU.Proceso, TA_MENU.Clave , "
                            "TA_MENU.Nombre  FROM TA_TAREAS  with(nolock) INNER JOIN TA_MENU ON "
                            "TA_TAREAS.TAREA = TA_MENU.Clave  WHERE (TA_TAREAS.USUARIO = "
                            "'O''BRIEN ') AND (TA_MENU.Proceso LIKE '%hojaruta%')"));
    DialogoGuionado dialogo;
    auto app = prueba::NuevaAplicacion(dialogo, dir_->path());
    app->gIdAcceso = 42;
    QCOMPARE(app->SentenciaEgreso(prueba::kMomento),
             QStringLiteral("UPDATE CONTROL_ACCESO  SET EGRESO = '15/03/24 10:42' WHERE EGRESO IS "
                            "NULL AND  ID = 42"));
}

void TstRegistroAcceso::claveDeEstadisticasNoSeEscribe() {
    const QString traza = dir_->filePath(QStringLiteral("traza.txt"));
    qputenv("HOJARUTA_TRAZA", traza.toLocal8Bit());
    qputenv("temp", "1");
    qputenv("tmp", dir_->path().toLocal8Bit());
    {
        DialogoGuionado dialogo;
        auto app = inicia(dialogo, QStringLiteral("ADMIN"));
        QVERIFY(app);
        app->FinalizaAplicacion();
    }
    qunsetenv("HOJARUTA_TRAZA");
    qunsetenv("temp");
    qunsetenv("tmp");
    QFile f(traza);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray texto = f.readAll();
    QVERIFY(texto.contains("TA_CONFIGURACION")); // the statistics connection was traced
    QVERIFY(!texto.contains("ZQ_CLAVEPRUEBAX"));
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("VXERR.LOG"))));
}

// A malformed INI number and a lookup file that cannot be made: the start goes
// on, the first with its default, the second with a word, and the settings load.
void TstRegistroAcceso::inicioNoSeDetiene() {
    QFile ini(dir_->filePath(QStringLiteral("CN000pr.INI")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[PC01|ANA]\r\nFlatToolbars=99999999999\r\n");
    ini.close();
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::OK);
    auto app = prueba::NuevaAplicacion(dialogo, dir_->filePath(QStringLiteral("no/existe")));
    QString cadena;
    QVERIFY(app->IniciaAplicacion(
        false,
        QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= ;").arg(base_),
        cadena, ado::adUseClient));
    QCOMPARE(app->sesion.gFlatToolbars, 1);
    QCOMPARE(dialogo.mostradas().size(), 1);
    QCOMPARE(dialogo.mostradas().first().texto,
             QStringLiteral("No se pudo crear el archivo de consultas %1/no/existe/consultas.vxf."
                            "\r\nEl programa sigue sin las consultas predeterminadas.")
                 .arg(dir_->path()));
    QCOMPARE(dialogo.mostradas().first().estilo, 48);
    // Journal queries keep their restricted views, and the run is logged.
    QVERIFY(app->cfg.global.SS_CONFIDENCIALIDAD);
    QVERIFY(app->db.confidencialidad);
    QVERIFY(app->gIdAcceso > 0);
}

void TstRegistroAcceso::cfgQueFallaNoSeRepite() {
    DialogoGuionado dialogo;
    auto app = inicia(dialogo, QStringLiteral("ADMIN"));
    QVERIFY(app);
    qputenv("temp", "1");
    qputenv("tmp", dir_->path().toLocal8Bit());
    app->cfg.gTablaConfiguracion = QStringLiteral("NO_EXISTE");
    // The database object's own box for the failed open, then Cfg's: Retry there
    // leaves with an empty value instead of repeating the step.
    dialogo.responde(plataforma::Respuesta::Abort).responde(plataforma::Respuesta::Retry);
    QCOMPARE(app->cfg.Cfg(QStringLiteral("PIVA")), QString());
    QCOMPARE(dialogo.mostradas().size(), 2);
    QVERIFY(dialogo.mostradas().last().titulo.contains(u" - Cfg "));
    qunsetenv("temp");
    qunsetenv("tmp");
}

QTEST_GUILESS_MAIN(TstRegistroAcceso)
#include "tst_registroacceso.moc"
