// Statement lists run in one transaction, their failure log in AUX_ERR, the
// statement builders and the data-error dialog of a failed save.

#include "AplicacionDePrueba.h"
#include "DialogoGuionado.h"
#include "Fallas.h"
#include "LeeTraza.h"
#include "app/Aplicacion.h"
#include "platform/ado/sqlite/BaseEmbebida.h"
#include "resources/Recursos.h"

#include "../db/ProveedorDePrueba.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// PRUEBA refuses some names through triggers, the way the server's own checks do:
// native 8 aborts the batch, 547 only its statement.
const char* const kDatos = R"SQL(
INSERT INTO TA_USUARIOS (Nombre, Administrador) VALUES ('ADMIN', 1);
CREATE TABLE PRUEBA (
    Codigo NVARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Nombre NVARCHAR(20) COLLATE NOCASE
);
INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('A', 'existente');
CREATE TRIGGER PRUEBA_OCHO BEFORE INSERT ON PRUEBA WHEN NEW.Nombre = 'falla8'
BEGIN SELECT RAISE(ABORT, '8|42000|Mensaje de prueba'); END;
CREATE TRIGGER PRUEBA_RESTRICCION BEFORE INSERT ON PRUEBA WHEN NEW.Nombre = 'restringido'
BEGIN SELECT RAISE(ABORT, '547|23000|The INSERT statement conflicted with the CHECK constraint.'); END;
)SQL";

const QString kDuplicada = QStringLiteral(
    "Violation of PRIMARY KEY constraint 'PK_PRUEBA'. Cannot insert duplicate key in object "
    "'dbo.PRUEBA'.");
const QString kTerminada = QStringLiteral("The statement has been terminated.");

struct Aux {
    QString proceso, fecha, descripcion, sql, pc, usuario;
    int error = 0;
};

} // namespace

class TstActualizaDatos : public QObject {
    Q_OBJECT

private slots:
    void init();

    void agregaCampoValor_data();
    void agregaCampoValor();
    void insertComoElAccesoLoEscribe();
    void update_data();
    void update();
    void conservaPares();
    void seguirAgregandoTrasArmarNoDejaColumnaVacia();

    void listaVaciaNoEjecutaNada_data();
    void listaVaciaNoEjecutaNada();
    void listaCorrectaSeConfirma();
    void fallaConUnMensaje_data();
    void fallaConUnMensaje();
    void textoDeLosMensajes_data();
    void textoDeLosMensajes();
    void fallasSilenciadas_data();
    void fallasSilenciadas();
    void unAvisoTambienDeshaceLaLista();
    void listaEnOracle_data();
    void listaEnOracle();
    void confirmacionRechazada_data();
    void confirmacionRechazada();
    void registraErrorAuxNuncaMuestraNada();
    void registraErrorAuxRecortaYCompleta();

    void muestraErrorDatosConversion();
    void muestraErrorDatosPorNativo_data();
    void muestraErrorDatosPorNativo();
    void muestraErrorDatosClaveDuplicadaReal();
    void muestraErrorDatosOtroError_data();
    void muestraErrorDatosOtroError();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString base_;
    QString traza_;

    std::unique_ptr<Aplicacion> conectada(DialogoGuionado& dialogo) const {
        auto app = prueba::AplicacionConectada(dialogo, dir_->path(), base_,
                                               QDateTime(QDate(2024, 3, 15), QTime(9, 5, 7)));
        app->db.nombreEjecutable = QStringLiteral("HOJARUTA");
        return app;
    }
    // On the test's file behind `guion`, reached as SQL Server or as Oracle.
    std::unique_ptr<Aplicacion> conGuion(DialogoGuionado& dialogo,
                                         const std::shared_ptr<prueba::Guion>& guion,
                                         bool oracle) const {
        guion->archivo = base_;
        guion->oracle = oracle;
        auto app = std::make_unique<Aplicacion>(dialogo, prueba::Fabrica(guion));
        app->nombreMaquina = QStringLiteral("pc01");
        app->reloj = [] { return QDateTime(QDate(2024, 3, 15), QTime(9, 5, 7)); };
        app->db.nombreEjecutable = QStringLiteral("HOJARUTA");
        app->db.carpetaLog = dir_->path();
        app->db.gServidor = oracle ? QStringLiteral("SRV#") : QStringLiteral("sqlite");
        app->db.gDBName = oracle ? QStringLiteral("ORCL") : base_;
        app->db.gUsuario = QStringLiteral("ADMIN");
        app->db.OpenServerADODB(false, ado::adUseClient, QString(), false, false);
        if (!app->db.gOpenFlag)
            qFatal("the test database did not open");
        return app;
    }
    static QString nombreDe(Aplicacion& app, const QString& codigo) {
        ado::Recordset rs;
        app.db.AbrirRecordset(
            QStringLiteral("SELECT Nombre FROM PRUEBA WHERE Codigo = '%1'").arg(codigo), rs);
        const QString nombre = rs.Eof() ? QString() : rs.Fields(0).Value().toString();
        rs.Close();
        return nombre;
    }
    // The statements sent so far, unescaped.
    QStringList enviadas() const { return SentenciasDeTraza(traza_); }
    static QStringList codigos(Aplicacion& app) {
        ado::Recordset rs;
        app.db.AbrirRecordset(QStringLiteral("SELECT Codigo FROM PRUEBA ORDER BY Codigo"), rs);
        QStringList r;
        for (; !rs.Eof(); rs.MoveNext())
            r << rs.Fields(0).Value().toString();
        rs.Close();
        return r;
    }
    static QList<Aux> auxErr(Aplicacion& app) {
        ado::Recordset rs;
        app.db.AbrirRecordset(QStringLiteral("SELECT * FROM AUX_ERR ORDER BY Id"), rs);
        QList<Aux> r;
        const auto t = [&](const char* c) {
            return rs.Fields(QString::fromLatin1(c)).Value().toString();
        };
        for (; !rs.Eof(); rs.MoveNext())
            r << Aux{t("Proceso"),
                     t("Fecha"),
                     t("Descripcion"),
                     t("SQL"),
                     t("pc"),
                     t("Usuario"),
                     rs.Fields(QStringLiteral("Error")).Value().toInt()};
        rs.Close();
        return r;
    }
};

void TstActualizaDatos::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    base_ = dir_->filePath(QStringLiteral("hojaruta.db"));
    traza_ = dir_->filePath(QStringLiteral("traza.txt"));
    ado::sqlite::CreaBaseEmbebida(base_, recursos::EsquemaSql(), QString::fromUtf8(kDatos));
    qputenv("HOJARUTA_INI_DIR", dir_->path().toLocal8Bit());
    qputenv("HOJARUTA_TRAZA", traza_.toLocal8Bit());
    qputenv("temp", "1");
    qputenv("tmp", dir_->path().toLocal8Bit());
}

// ------------------------------------------------------------------ builders

void TstActualizaDatos::agregaCampoValor_data() {
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("marca");
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QString>("valorDespues");
    QTest::newRow("texto") << "ANA"
                           << "'"
                           << "'ANA'"
                           << "ANA";
    QTest::newRow("apostrofe quitado") << "O'Brien"
                                       << "'"
                                       << "'OBrien'"
                                       << "OBrien";
    QTest::newRow("null minusculas") << "null"
                                     << "'"
                                     << "Null"
                                     << "null";
    QTest::newRow("NULL mayusculas numero") << "NULL"
                                            << "@"
                                            << "Null"
                                            << "NULL";
    QTest::newRow("null entre apostrofes") << "'NuLl'"
                                           << "'"
                                           << "Null"
                                           << "NuLl";
    QTest::newRow("null con blancos no es nulo") << " null"
                                                 << "'"
                                                 << "' null'"
                                                 << " null";
    QTest::newRow("numero") << "15"
                            << "@"
                            << "15"
                            << "15";
    QTest::newRow("sin marca va tal cual") << "GETDATE()"
                                           << ""
                                           << "GETDATE()"
                                           << "GETDATE()";
}

void TstActualizaDatos::agregaCampoValor() {
    QFETCH(QString, valor);
    QFETCH(QString, marca);
    QFETCH(QString, literal);
    QFETCH(QString, valorDespues);
    DialogoGuionado dialogo;
    Aplicacion app(dialogo);
    QString primero = QStringLiteral("1");
    app.AgregaCampoValor(QStringLiteral("Id"), primero, QStringLiteral("@"), true);
    app.AgregaCampoValor(QStringLiteral("Campo"), valor, marca, false);
    QCOMPARE(app.Pares.size(), 2);
    QCOMPARE(app.Pares[0].Valor, QStringLiteral("1"));
    QCOMPARE(app.Pares[1].Campo, QStringLiteral("Campo"));
    QCOMPARE(app.Pares[1].Valor, literal);
    QCOMPARE(valor, valorDespues);
}

void TstActualizaDatos::insertComoElAccesoLoEscribe() {
    DialogoGuionado dialogo;
    Aplicacion app(dialogo);
    QString pc = QStringLiteral("PC1");
    QString usuario = QStringLiteral("ANA");
    app.AgregaCampoValor(QStringLiteral("Maquina"), pc, QStringLiteral("'"), true);
    app.AgregaCampoValor(QStringLiteral("Usuario"), usuario, QStringLiteral("'"), false);
    QStringList sentencias{QStringLiteral("previa")};
    QString condicion;
    app.ArmaSentencia(app.Pares, sentencias, QStringLiteral("Control_Acceso"), false, condicion,
                      false);
    QCOMPARE(sentencias,
             (QStringList{QStringLiteral("previa"),
                          QStringLiteral(
                              "INSERT INTO Control_Acceso (Maquina,Usuario) VALUES ('PC1','ANA')"),
                          QString()}));
    QCOMPARE(app.Pares.size(), 1);
    QCOMPARE(app.Pares[0].Campo, QString());
    QCOMPARE(app.Pares[0].Valor, QString());
}

void TstActualizaDatos::update_data() {
    QTest::addColumn<QStringList>("campos");
    QTest::addColumn<QString>("condicion");
    QTest::addColumn<QString>("sentencia");
    QTest::addColumn<QString>("condicionDespues");
    QTest::newRow("condicion sin WHERE") << QStringList{"A", "1"} << "ID = 5"
                                         << "UPDATE T SET A = 1  WHERE ID = 5"
                                         << " WHERE ID = 5";
    QTest::newRow("condicion con where") << QStringList{"A", "1"} << "where ID = 5"
                                         << "UPDATE T SET A = 1 where ID = 5"
                                         << "where ID = 5";
    QTest::newRow("varias columnas sin blanco entre ellas")
        << QStringList{"A", "1", "B", "2"} << "ID = 5"
        << "UPDATE T SET A = 1,B = 2  WHERE ID = 5"
        << " WHERE ID = 5";
}

void TstActualizaDatos::update() {
    QFETCH(QStringList, campos);
    QFETCH(QString, condicion);
    QFETCH(QString, sentencia);
    QFETCH(QString, condicionDespues);
    DialogoGuionado dialogo;
    Aplicacion app(dialogo);
    for (qsizetype i = 0; i < campos.size(); i += 2) {
        QString v = campos[i + 1];
        app.AgregaCampoValor(campos[i], v, QStringLiteral("@"), i == 0);
    }
    QStringList sentencias;
    app.ArmaSentencia(app.Pares, sentencias, QStringLiteral("T"), true, condicion, false);
    QCOMPARE(sentencias, (QStringList{sentencia, QString()}));
    QCOMPARE(condicion, condicionDespues);
}

void TstActualizaDatos::conservaPares() {
    DialogoGuionado dialogo;
    Aplicacion app(dialogo);
    QString v = QStringLiteral("x");
    app.AgregaCampoValor(QStringLiteral("A"), v, QStringLiteral("'"), true);
    QStringList sentencias;
    QString condicion;
    app.ArmaSentencia(app.Pares, sentencias, QStringLiteral("T"), false, condicion, true);
    app.ArmaSentencia(app.Pares, sentencias, QStringLiteral("U"), false, condicion, true);
    QCOMPARE(sentencias,
             (QStringList{QStringLiteral("INSERT INTO T (A) VALUES ('x')"), QString(),
                          QStringLiteral("INSERT INTO U (A) VALUES ('x')"), QString()}));
    QCOMPARE(app.Pares.size(), 1);
    QCOMPARE(app.Pares[0].Campo, QStringLiteral("A"));
}

void TstActualizaDatos::seguirAgregandoTrasArmarNoDejaColumnaVacia() {
    DialogoGuionado dialogo;
    Aplicacion app(dialogo);
    QString v = QStringLiteral("1");
    app.AgregaCampoValor(QStringLiteral("A"), v, QStringLiteral("@"), true);
    QStringList sentencias;
    QString condicion;
    app.ArmaSentencia(app.Pares, sentencias, QStringLiteral("T"), false, condicion, false);
    QString w = QStringLiteral("2");
    app.AgregaCampoValor(QStringLiteral("B"), w, QStringLiteral("@"), false);
    app.ArmaSentencia(app.Pares, sentencias, QStringLiteral("T"), false, condicion, false);
    QCOMPARE(sentencias.value(2), QStringLiteral("INSERT INTO T (B) VALUES (2)"));
}

// ------------------------------------------------------------------ scripts

void TstActualizaDatos::listaVaciaNoEjecutaNada_data() {
    QTest::addColumn<QStringList>("sentencias");
    QTest::newRow("lista vacia") << QStringList{};
    QTest::newRow("solo entradas en blanco") << QStringList{"", "   ", "\t", ""};
}

void TstActualizaDatos::listaVaciaNoEjecutaNada() {
    QFETCH(QStringList, sentencias);
    DialogoGuionado dialogo;
    auto app = conectada(dialogo);
    const qsizetype antes = enviadas().size();
    bool hubo = true;
    qint32 codigo = 77;
    QString script = QStringLiteral("previo");
    QString mensaje = QStringLiteral("previo");
    app->GActualizarDatoScript(sentencias, hubo, codigo, false, false, script, mensaje, true);
    QCOMPARE(hubo, false);
    QCOMPARE(codigo, 77);
    QCOMPARE(script, QStringLiteral("previo"));
    QCOMPARE(mensaje, QStringLiteral("previo"));
    QCOMPARE(enviadas().size(), antes);
    QCOMPARE(auxErr(*app).size(), 0);
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstActualizaDatos::listaCorrectaSeConfirma() {
    DialogoGuionado dialogo;
    auto app = conectada(dialogo);
    QStringList sentencias;
    QString condicion;
    QString b = QStringLiteral("B");
    QString nombre = QStringLiteral("D'Angelo");
    app->AgregaCampoValor(QStringLiteral("Codigo"), b, QStringLiteral("'"), true);
    app->AgregaCampoValor(QStringLiteral("Nombre"), nombre, QStringLiteral("'"), false);
    app->ArmaSentencia(app->Pares, sentencias, QStringLiteral("@Admin_PRUEBA"), false, condicion,
                       false);
    QString otro = QStringLiteral("nuevo");
    app->AgregaCampoValor(QStringLiteral("Nombre"), otro, QStringLiteral("'"), true);
    condicion = QStringLiteral("Codigo = 'A'");
    app->ArmaSentencia(app->Pares, sentencias, QStringLiteral("PRUEBA"), true, condicion, false);
    const qsizetype antes = enviadas().size();
    bool hubo = true;
    qint32 codigo = 99;
    QString script;
    QString mensaje = QStringLiteral("previo");
    app->GActualizarDatoScript(sentencias, hubo, codigo, false, false, script, mensaje, true);
    QCOMPARE(hubo, false);
    QCOMPARE(codigo, 0);
    QCOMPARE(mensaje, QStringLiteral("previo"));
    QCOMPARE(script,
             QStringLiteral("BEGIN TRANSACTION \r\r\rINSERT INTO @Admin_PRUEBA (Codigo,Nombre) "
                            "VALUES ('B','DAngelo')\rUPDATE PRUEBA SET Nombre = 'nuevo'  "
                            "WHERE Codigo = 'A'\r"));
    const QStringList nuevas = enviadas().mid(antes);
    QCOMPARE(nuevas.size(), 2);
    QCOMPARE(nuevas[0], QString(script).remove(QStringLiteral("@Admin_")));
    QCOMPARE(nuevas[1], QStringLiteral("COMMIT TRANSACTION"));
    QCOMPARE(codigos(*app), (QStringList{"A", "B"}));
    QCOMPARE(auxErr(*app).size(), 0);
}

void TstActualizaDatos::fallaConUnMensaje_data() {
    QTest::addColumn<bool>("muestra");
    QTest::newRow("avisa al operador") << true;
    QTest::newRow("sin aviso") << false;
}

void TstActualizaDatos::fallaConUnMensaje() {
    QFETCH(bool, muestra);
    DialogoGuionado dialogo;
    if (muestra)
        dialogo.responde(plataforma::Respuesta::OK);
    auto app = conectada(dialogo);
    QStringList sentencias{
        QStringLiteral("INSERT INTO @Admin_PRUEBA (Codigo, Nombre) VALUES ('B', 'bien')"),
        QString(), QStringLiteral("INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('C', 'falla8')"),
        QString()};
    const qsizetype antes = enviadas().size();
    bool hubo = false;
    qint32 codigo = 0;
    QString script;
    QString mensaje;
    app->GActualizarDatoScript(sentencias, hubo, codigo, false, false, script, mensaje, muestra);
    const QString texto = QStringLiteral("8 : Mensaje de prueba\r\n");
    QVERIFY(hubo);
    QCOMPARE(codigo, 8);
    QCOMPARE(mensaje, texto);
    QCOMPARE(enviadas().mid(antes, 2).value(1), QStringLiteral("ROLLBACK TRANSACTION"));
    QCOMPARE(codigos(*app), QStringList{"A"});
    const QList<Aux> aux = auxErr(*app);
    QCOMPARE(aux.size(), 1);
    QCOMPARE(aux[0].error, 8);
    QVERIFY(aux[0].descripcion.startsWith(QStringLiteral("8 : ")));
    QCOMPARE(aux[0].descripcion, texto);
    QCOMPARE(aux[0].sql, QString(script).remove(QStringLiteral("@Admin_")));
    QCOMPARE(aux[0].proceso, QStringLiteral("HOJARUTA"));
    QCOMPARE(aux[0].fecha, QStringLiteral("15/03/24 09:05"));
    QCOMPARE(aux[0].pc, QStringLiteral("pc01"));
    QCOMPARE(aux[0].usuario, QStringLiteral("ADMIN"));
    QCOMPARE(app->db.gCnn().Errors().Count(), 0);
    QCOMPARE(dialogo.mostradas().size(), muestra ? 1 : 0);
    if (muestra) {
        QCOMPARE(dialogo.mostradas()[0].texto, texto);
        QCOMPARE(dialogo.mostradas()[0].titulo, QStringLiteral("Aviso al Operador!"));
        QCOMPARE(dialogo.mostradas()[0].estilo, 16); // critical icon, OK button
    }
}

void TstActualizaDatos::textoDeLosMensajes_data() {
    QTest::addColumn<QStringList>("sentencias");
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QString>("texto");
    const QString duplicada =
        QStringLiteral("INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('A', 'otra')");
    QTest::newRow("dos mensajes: solo el primero")
        << QStringList{duplicada} << 2627 << QStringLiteral("2627 : ") + kDuplicada + "\r\n";
    QTest::newRow("tres mensajes: los dos primeros")
        << QStringList{duplicada,
                       QStringLiteral("INSERT INTO PRUEBA (Codigo, NoExiste) VALUES ('Z', 1)")}
        << 2627 << QStringLiteral("2627 : ") + kDuplicada + "\r\n3621 : " + kTerminada + "\r\n";
    QTest::newRow("tabla inexistente")
        << QStringList{QStringLiteral("INSERT INTO PRUEBA (Codigo) VALUES ('B')"),
                       QStringLiteral("DELETE FROM NO_EXISTE")}
        << 208 << QStringLiteral("208 : Invalid object name 'NO_EXISTE'.\r\n");
}

void TstActualizaDatos::textoDeLosMensajes() {
    QFETCH(QStringList, sentencias);
    QFETCH(int, codigo);
    QFETCH(QString, texto);
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::OK);
    auto app = conectada(dialogo);
    bool hubo = false;
    qint32 numero = 0;
    QString script;
    QString mensaje;
    app->GActualizarDatoScript(sentencias, hubo, numero, false, false, script, mensaje, true);
    QVERIFY(hubo);
    QCOMPARE(numero, codigo);
    QCOMPARE(mensaje, texto);
    QCOMPARE(dialogo.mostradas().value(0).texto, texto);
    QCOMPARE(codigos(*app), QStringList{"A"});
    QCOMPARE(auxErr(*app).value(0).descripcion, texto);
}

void TstActualizaDatos::fallasSilenciadas_data() {
    QTest::addColumn<QString>("sentencia");
    QTest::addColumn<bool>("silenciaClave");
    QTest::addColumn<bool>("silenciaRestriccion");
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QString>("mensaje");
    QTest::addColumn<bool>("avisa");
    const QString duplicada =
        QStringLiteral("INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('A', 'otra')");
    const QString restringida =
        QStringLiteral("INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('R', 'restringido')");
    const QString restriccion =
        QStringLiteral("The INSERT statement conflicted with the CHECK constraint.");
    QTest::newRow("clave duplicada silenciada")
        << duplicada << true << false << 2627 << kDuplicada << false;
    QTest::newRow("restriccion silenciada")
        << restringida << false << true << 547 << restriccion << false;
    QTest::newRow("silenciar la restriccion no calla la clave duplicada")
        << duplicada << false << true << 2627 << QStringLiteral("2627 : ") + kDuplicada + "\r\n"
        << true;
    QTest::newRow("silenciar la clave no calla la restriccion")
        << restringida << true << false << 547 << QStringLiteral("547 : ") + restriccion + "\r\n"
        << true;
}

void TstActualizaDatos::fallasSilenciadas() {
    QFETCH(QString, sentencia);
    QFETCH(bool, silenciaClave);
    QFETCH(bool, silenciaRestriccion);
    QFETCH(int, codigo);
    QFETCH(QString, mensaje);
    QFETCH(bool, avisa);
    DialogoGuionado dialogo;
    if (avisa)
        dialogo.responde(plataforma::Respuesta::OK);
    auto app = conectada(dialogo);
    QStringList sentencias{
        QStringLiteral("INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('B', 'bien')"), sentencia};
    bool hubo = false;
    qint32 numero = 0;
    QString script;
    QString texto;
    app->GActualizarDatoScript(sentencias, hubo, numero, silenciaClave, silenciaRestriccion, script,
                               texto, true);
    QVERIFY(hubo);
    QCOMPARE(numero, codigo);
    QCOMPARE(texto, mensaje);
    QCOMPARE(dialogo.mostradas().size(), avisa ? 1 : 0);
    QCOMPARE(codigos(*app), QStringList{"A"});
    const QList<Aux> aux = auxErr(*app);
    QCOMPARE(aux.size(), 1);
    QCOMPARE(aux[0].error, codigo);
    QCOMPARE(aux[0].descripcion, avisa ? mensaje : QString());
}

void TstActualizaDatos::unAvisoTambienDeshaceLaLista() {
    // A statement that goes through with a warning leaves a message in the list:
    // the list is judged by that alone.
    auto guion = std::make_shared<prueba::Guion>();
    guion->archivo = base_;
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::OK);
    Aplicacion app(dialogo, prueba::Fabrica(guion));
    app.db.nombreEjecutable = QStringLiteral("HOJARUTA");
    QString cadena;
    QVERIFY(app.IniciaAplicacion(
        false,
        QStringLiteral("@server=sqlite; @dbname= %1; @usuario= ADMIN; @Password= ; @Caja=1;kora@")
            .arg(base_),
        cadena, ado::adUseClient));
    guion->avisos = {ado::Error{0, QStringLiteral("Warning: Null value is eliminated."),
                                QStringLiteral("01003"), 8153, QString()}};
    QStringList sentencias{
        QStringLiteral("INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('B', 'bien')")};
    bool hubo = false;
    qint32 codigo = 0;
    QString script;
    QString mensaje;
    app.GActualizarDatoScript(sentencias, hubo, codigo, false, false, script, mensaje, true);
    QVERIFY(hubo);
    QCOMPARE(codigo, 8153);
    QCOMPARE(mensaje, QStringLiteral("8153 : Warning: Null value is eliminated.\r\n"));
    const qsizetype enviado = guion->sentencias.indexOf(script);
    QVERIFY(enviado >= 0);
    QCOMPARE(guion->sentencias.value(enviado + 1), QStringLiteral("ROLLBACK TRANSACTION"));
    // The start commits its access record before; nothing is committed after.
    QVERIFY(!guion->sentencias.mid(enviado).contains(QStringLiteral("COMMIT TRANSACTION")));
    QCOMPARE(codigos(app), QStringList{"A"});
}

void TstActualizaDatos::listaEnOracle_data() {
    QTest::addColumn<QStringList>("sentencias");
    QTest::addColumn<int>("codigo"); // 0: the list is kept
    QTest::addColumn<QString>("nombreB");
    const QString bien = QStringLiteral("INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('B', 'bien')");
    const auto conNombre = [](const char* nombre) {
        return QStringList{
            QStringLiteral("INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('B', '%1')").arg(nombre)};
    };
    // clang-format off
    QTest::newRow("palabras del dialecto en el valor") << conNombre("[A] STOP DELETE ") << 0 << "[A] STOP DELETE ";
    QTest::newRow("fecha en un texto") << conNombre("01/02/2024") << 0 << "01/02/2024";
    QTest::newRow("literal sin cerrar") << QStringList{bien, "INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('C', 'x)"} << 5 << "";
    QTest::newRow("sentencia desconocida") << QStringList{bien, "EXEC sp_recalcula"} << 5 << "";
    QTest::newRow("TOP PERCENT") << QStringList{bien, "INSERT INTO PRUEBA (Codigo, Nombre) SELECT TOP 50 PERCENT Codigo + 'x', Nombre FROM PRUEBA"} << 5 << "";
    QTest::newRow("error del servidor") << QStringList{bien, "INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('C', 'falla8')"} << 8 << "";
    // clang-format on
}

void TstActualizaDatos::listaEnOracle() {
    // What cannot be carried over to Oracle fails the list as a server error
    // does: one message, nothing written, the failure logged and shown.
    QFETCH(QStringList, sentencias);
    QFETCH(int, codigo);
    QFETCH(QString, nombreB);
    DialogoGuionado dialogo;
    if (codigo)
        dialogo.responde(plataforma::Respuesta::OK);
    auto app = conGuion(dialogo, std::make_shared<prueba::Guion>(), true);
    bool hubo = false;
    qint32 numero = -1;
    QString script;
    QString mensaje;
    app->GActualizarDatoScript(sentencias, hubo, numero, false, false, script, mensaje, true);
    QCOMPARE(hubo, codigo != 0);
    QCOMPARE(numero, codigo);
    QCOMPARE(app->db.gCnn().Errors().Count(), 0);
    QCOMPARE(nombreDe(*app, QStringLiteral("B")), nombreB);
    const QList<Aux> aux = auxErr(*app);
    QCOMPARE(aux.size(), codigo ? 1 : 0);
    QCOMPARE(dialogo.mostradas().size(), codigo ? 1 : 0);
    if (codigo) {
        QCOMPARE(codigos(*app), QStringList{"A"});
        QVERIFY2(mensaje.startsWith(QString::number(codigo) + QStringLiteral(" : ")) &&
                     mensaje.endsWith(QStringLiteral("\r\n")) && mensaje.count(u'\n') == 1,
                 qPrintable(mensaje)); // one message
        QCOMPARE(aux[0].error, codigo);
        QCOMPARE(aux[0].descripcion, mensaje);
    }
}

void TstActualizaDatos::confirmacionRechazada_data() {
    QTest::addColumn<bool>("oracle");
    QTest::newRow("SQL Server") << false;
    QTest::newRow("Oracle") << true;
}

void TstActualizaDatos::confirmacionRechazada() {
    QFETCH(bool, oracle);
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::OK);
    auto guion = std::make_shared<prueba::Guion>();
    auto app = conGuion(dialogo, guion, oracle);
    const QString rechazo = QStringLiteral("ORA-02091: transaction rolled back");
    guion->confirmacionRechazada =
        ado::Error{ado::codigo::DB_E_ERRORSINCOMMAND, rechazo, QStringLiteral("40000"), 2091, {}};
    QStringList sentencias{
        QStringLiteral("INSERT INTO PRUEBA (Codigo, Nombre) VALUES ('B', 'bien')")};
    bool hubo = false;
    qint32 codigo = 0;
    QString script;
    QString mensaje;
    app->GActualizarDatoScript(sentencias, hubo, codigo, false, false, script, mensaje, true);
    const QString texto = QStringLiteral("2091 : ") + rechazo + QStringLiteral("\r\n");
    QVERIFY(hubo);
    QCOMPARE(codigo, 2091);
    QCOMPARE(mensaje, texto);
    QCOMPARE(codigos(*app), QStringList{"A"});
    QCOMPARE(app->db.gCnn().Errors().Count(), 0);
    QCOMPARE(dialogo.mostradas().value(0).texto, texto);
    const QList<Aux> aux = auxErr(*app);
    QCOMPARE(aux.size(), 1);
    QCOMPARE(aux[0].error, 2091);
    QCOMPARE(aux[0].sql, script); // none of it was kept
}

void TstActualizaDatos::registraErrorAuxNuncaMuestraNada() {
    DialogoGuionado dialogo;
    auto app = conectada(dialogo);
    app->db.EjecutaConsultaSQL(QStringLiteral("DROP TABLE AUX_ERR"));
    app->RegistraErrorAux(QStringLiteral("SELECT 1"), QString(), 8, QStringLiteral("x"));
    QCOMPARE(dialogo.mostradas().size(), 0);
}

void TstActualizaDatos::registraErrorAuxRecortaYCompleta() {
    DialogoGuionado dialogo;
    auto app = conectada(dialogo);
    const QString larga = QString(260, u'x');
    app->RegistraErrorAux(QStringLiteral("SELECT 1"), QString(), 245, larga);
    app->RegistraErrorAux(QStringLiteral("SELECT 2"), QStringLiteral("OTRO"), 0, QString());
    const QList<Aux> aux = auxErr(*app);
    QCOMPARE(aux.size(), 2);
    QCOMPARE(aux[0].descripcion, QString(250, u'x'));
    QCOMPARE(aux[0].proceso, QStringLiteral("HOJARUTA"));
    QCOMPARE(aux[0].error, 245);
    QCOMPARE(aux[1].proceso, QStringLiteral("OTRO"));
    QCOMPARE(aux[1].sql, QStringLiteral("SELECT 2"));
}

// ------------------------------------------------------------- data errors

namespace {
const QString kConversion = QStringLiteral(
    "Verifique las siguientes opciones: \r\n\r\n1) Ha ingresado letras donde debe ingresar "
    "numeros\r\n\r\n2) Debe ingresar una fecha y el formato es incorrecto\r\n\r\nEn el campo: ");
}

void TstActualizaDatos::muestraErrorDatosConversion() {
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::OK);
    Aplicacion app(dialogo);
    // A wrong value type is explained as such, whatever records came with it.
    const ado::Falla falla(3421, QStringLiteral("Application uses a value of the wrong type"), {},
                           {ado::Error{0, QStringLiteral("x"), QString(), 515, QString()}});
    QCOMPARE(app.MuestraErrorDatos(falla, QStringLiteral("Kilos")),
             std::optional<plataforma::Respuesta>());
    QCOMPARE(dialogo.mostradas().size(), 1);
    QCOMPARE(dialogo.mostradas()[0].texto, kConversion + QStringLiteral("Kilos"));
    QCOMPARE(dialogo.mostradas()[0].titulo, QStringLiteral("Error en conversion de datos"));
    QCOMPARE(dialogo.mostradas()[0].estilo, 16);
}

void TstActualizaDatos::muestraErrorDatosPorNativo_data() {
    QTest::addColumn<int>("nativo");
    QTest::addColumn<bool>("tambienEnLaLista"); // false: the list was emptied by a rollback
    QTest::addColumn<QString>("titulo");
    QTest::addColumn<QString>("texto");
    const QString nulos = QStringLiteral("Error en conversion de datos - NULOS NO PERMITIDO");
    const QString nulo = QStringLiteral("Descripcion del Error: 515 - descripcion del proveedor");
    const QString duplicada =
        QStringLiteral("Descripcion del Error: 2627 - descripcion del proveedor\r\n\r\nLa "
                       "grabacion se ha cancelado... Cambie el campo principal e intente grabar "
                       "nuevamente");
    for (const bool lista : {true, false}) {
        const char* donde = lista ? ", tambien en la lista" : ", solo en la falla";
        QTest::addRow("1010 conversion%s", donde)
            << 1010 << lista << "Error en conversion de datos "
            << kConversion + QStringLiteral("Fecha");
        QTest::addRow("515 nulo%s", donde) << 515 << lista << nulos << nulo;
        QTest::addRow("2627 clave duplicada%s", donde)
            << 2627 << lista << "Clave Duplicada" << duplicada;
    }
}

void TstActualizaDatos::muestraErrorDatosPorNativo() {
    QFETCH(int, nativo);
    QFETCH(bool, tambienEnLaLista);
    QFETCH(QString, titulo);
    QFETCH(QString, texto);
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::OK);
    Aplicacion app(dialogo);
    const QList<ado::Error> registros{
        ado::Error{ado::codigo::DB_E_ERRORSINCOMMAND, QStringLiteral("descripcion del proveedor"),
                   QStringLiteral("42000"), nativo, QString()},
        ado::Error{0, kTerminada, QStringLiteral("01000"), 3621, QString()}};
    ado::Errores& errores = app.db.gCnn().Errors();
    if (tambienEnLaLista)
        errores.Add(registros);
    const ado::Falla falla(ado::codigo::DB_E_ERRORSINCOMMAND, QStringLiteral("otra cosa"), {},
                           registros);
    QCOMPARE(app.MuestraErrorDatos(falla, QStringLiteral("Fecha")),
             std::optional<plataforma::Respuesta>());
    QCOMPARE(dialogo.mostradas().size(), 1);
    QCOMPARE(dialogo.mostradas()[0].titulo, titulo);
    QCOMPARE(dialogo.mostradas()[0].texto, texto);
    QCOMPARE(dialogo.mostradas()[0].estilo, 16);
    QCOMPARE(errores.Count(), 0);
}

void TstActualizaDatos::muestraErrorDatosClaveDuplicadaReal() {
    // A save that fails inside its transaction is rolled back before the operator
    // is told why: the records come with the failure, not from the connection.
    DialogoGuionado dialogo;
    dialogo.responde(plataforma::Respuesta::OK);
    auto app = conectada(dialogo);
    const ado::Falla falla = fallaDe([&] {
        TransaccionDB transaccion(app->db);
        app->db.Ejecuta(QStringLiteral("INSERT INTO PRUEBA (Codigo) VALUES ('B')"));
        app->db.Ejecuta(QStringLiteral("INSERT INTO PRUEBA (Codigo) VALUES ('A')"));
        transaccion.Confirma();
    });
    QCOMPARE(codigos(*app), QStringList{"A"});
    QCOMPARE(app->db.gCnn().Errors().Count(), 0);
    QCOMPARE(app->MuestraErrorDatos(falla, QString()), std::optional<plataforma::Respuesta>());
    QCOMPARE(dialogo.mostradas().value(0).titulo, QStringLiteral("Clave Duplicada"));
    QCOMPARE(dialogo.mostradas().value(0).texto,
             QStringLiteral("Descripcion del Error: 2627 - ") + kDuplicada +
                 QStringLiteral("\r\n\r\nLa grabacion se ha cancelado... Cambie el campo "
                                "principal e intente grabar nuevamente"));
}

void TstActualizaDatos::muestraErrorDatosOtroError_data() {
    QTest::addColumn<int>("nativo"); // 0: a failure without records
    QTest::addColumn<plataforma::Respuesta>("respuesta");
    QTest::addColumn<std::optional<plataforma::Respuesta>>("devuelto");
    using R = plataforma::Respuesta;
    QTest::newRow("restriccion, reintentar") << 547 << R::Retry << std::optional(R::Retry);
    QTest::newRow("restriccion, ignorar") << 547 << R::Ignore << std::optional(R::Ignore);
    QTest::newRow("sin registros, abortar") << 0 << R::Abort << std::optional(R::Abort);
    QTest::newRow("sin registros, cancelar no devuelve nada")
        << 0 << R::Cancel << std::optional<R>();
}

void TstActualizaDatos::muestraErrorDatosOtroError() {
    QFETCH(int, nativo);
    QFETCH(plataforma::Respuesta, respuesta);
    QFETCH(std::optional<plataforma::Respuesta>, devuelto);
    DialogoGuionado dialogo;
    dialogo.responde(respuesta);
    Aplicacion app(dialogo);
    app.reloj = [] { return QDateTime(QDate(2024, 3, 15), QTime(10, 42, 7)); };
    QList<ado::Error> registros;
    if (nativo)
        registros.append(ado::Error{ado::codigo::DB_E_INTEGRITYVIOLATION,
                                    QStringLiteral("conflicto"), QStringLiteral("23000"), nativo,
                                    QString()});
    app.db.gCnn().Errors().Add(registros);
    const ado::Falla falla(ado::codigo::DB_E_INTEGRITYVIOLATION, QStringLiteral(" conflicto "),
                           QStringLiteral("Microsoft OLE DB Provider for SQL Server"), registros);
    QCOMPARE(app.MuestraErrorDatos(falla, QStringLiteral("Cuenta")), devuelto);
    QCOMPARE(dialogo.mostradas().size(), 1);
    QCOMPARE(dialogo.mostradas()[0].titulo,
             QStringLiteral("Microsoft OLE DB Provider for SQL Server - Actualizar Datos Aviso al "
                            "operador!!! - 2 "));
    QCOMPARE(dialogo.mostradas()[0].texto,
             QStringLiteral("Ha ocurrido el Siguiente Error (-2147217873) conflicto"));
    QCOMPARE(dialogo.mostradas()[0].estilo, 18);
    // Only the failures it explains itself are taken off the list.
    QCOMPARE(app.db.gCnn().Errors().Count(), nativo ? 1 : 0);
    QFile log(dir_->filePath(QStringLiteral("VXERR.LOG")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("Rutina: - Actualizar Datos Mensaje"));
}

QTEST_GUILESS_MAIN(TstActualizaDatos)
#include "tst_actualizadatos.moc"
