// Reading the suite's command line.

#include "app/LineaComando.h"

#include <QTest>

using namespace lineacomando;

class TstLineaComando : public QObject {
    Q_OBJECT

private slots:
    void parametro_data();
    void parametro();
    void lineaDeLaSuite();
    void usuarioLogeadoAntesDeUsuario();
    void normalizaServidor_data();
    void normalizaServidor();
    void maquinaUsuario();
};

void TstLineaComando::parametro_data() {
    QTest::addColumn<QString>("linea");
    QTest::addColumn<QString>("clave");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("simple") << "@Server=SRV1; @dbname= GESTION;"
                            << "@Server"
                            << "SRV1";
    QTest::newRow("sin distinguir mayusculas") << "@SERVER=SRV1;"
                                               << "@Server"
                                               << "SRV1";
    QTest::newRow("blancos e igual interno") << "@Server = a=b ;"
                                             << "@Server"
                                             << "ab";
    QTest::newRow("clave con igual") << "@Password= cla=ve=;"
                                     << "@Password"
                                     << "clave";
    QTest::newRow("ausente da el defecto") << "@Server=x;"
                                           << "@Caja"
                                           << "1";
    QTest::newRow("caja vacia") << "@Caja=;"
                                << "@Caja"
                                << "";
    QTest::newRow("caja al final sin punto y coma") << "@Server=x; @Caja=3"
                                                    << "@Caja"
                                                    << "";
    QTest::newRow("reparto al final sin punto y coma") << "@Server=x; @ParametroAdicional=1234"
                                                       << "@ParametroAdicional"
                                                       << "1234";
    QTest::newRow("reparto largo cortado a 19") << "@ParametroAdicional=123456789012345678901234"
                                                << "@ParametroAdicional"
                                                << "123456789012345678";
    QTest::newRow("solo la primera aparicion") << "@Caja=2; @Caja=3;"
                                               << "@Caja"
                                               << "2";
    QTest::newRow("texto no ascii") << "@Usuario= Muñoz;"
                                    << "@Usuario"
                                    << "Muñoz";
    QTest::newRow("linea vacia") << ""
                                 << "@Server"
                                 << "";
}

void TstLineaComando::parametro() {
    QFETCH(QString, linea);
    QFETCH(QString, clave);
    QFETCH(QString, esperado);
    QCOMPARE(
        Parametro(linea, clave, clave == QLatin1String("@Caja") ? QStringLiteral("1") : QString()),
        esperado);
}

void TstLineaComando::lineaDeLaSuite() {
    const Parametros p = Lee(Arma(QStringLiteral("SRV\\INST"), QStringLiteral("GESTION"),
                                  QStringLiteral("ANA"), QStringLiteral("s3cr=t")));
    QCOMPARE(p.servidor, QStringLiteral("SRV\\INST"));
    QCOMPARE(p.base, QStringLiteral("GESTION"));
    QCOMPARE(p.usuario, QStringLiteral("ANA"));
    QCOMPARE(p.clave, QStringLiteral("s3crt")); // "=" cannot travel in a value
    QCOMPARE(p.parametroAdicional, QString());
    QCOMPARE(p.caja, QStringLiteral("1"));
    QCOMPARE(
        Arma(QStringLiteral("S"), QStringLiteral("D"), QStringLiteral("U"), QStringLiteral("P")),
        QStringLiteral("@server=S; @dbname= D; @usuario= U; @Password= P; @ParametroAdicional=; "
                       "@Caja=1;kora@"));
}

void TstLineaComando::usuarioLogeadoAntesDeUsuario() {
    // "@Usuario" is found inside "@UsuarioLogeado" when that comes first.
    const Parametros mal = Lee(QStringLiteral("@UsuarioLogeado=PEPE; @Usuario=ANA;"));
    QCOMPARE(mal.usuario, QStringLiteral("LogeadoPEPE"));
    QCOMPARE(mal.usuarioLogeado, QStringLiteral("PEPE"));
    const Parametros bien = Lee(QStringLiteral("@Usuario=ANA; @UsuarioLogeado=PEPE;"));
    QCOMPARE(bien.usuario, QStringLiteral("ANA"));
    QCOMPARE(bien.usuarioLogeado, QStringLiteral("PEPE"));
}

void TstLineaComando::normalizaServidor_data() {
    QTest::addColumn<QString>("servidor");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("host:puerto") << "db01:1433"
                                 << "db01";
    QTest::newRow("protocolo/host:puerto") << "tcp/db01:1433"
                                           << "db01";
    QTest::newRow("protocolo/host") << "tcp/db01"
                                    << "db01";
    QTest::newRow("instancia") << "SRV\\KORALIS"
                               << "SRV\\KORALIS";
    QTest::newRow("embebida") << "sqlite"
                              << "sqlite";
    QTest::newRow("vacio") << ""
                           << "";
}

void TstLineaComando::normalizaServidor() {
    QFETCH(QString, servidor);
    QFETCH(QString, esperado);
    QCOMPARE(NormalizaServidor(servidor), esperado);
}

void TstLineaComando::maquinaUsuario() {
    QCOMPARE(MaquinaUsuario(QStringLiteral("pc01"), QStringLiteral("ana"), true),
             QStringLiteral("PC01|ANA"));
    const QString maquina(40, u'm');
    const QString usuario(20, u'u');
    QCOMPARE(MaquinaUsuario(maquina, usuario, true).size(), 50);
    QCOMPARE(MaquinaUsuario(maquina, usuario, false).size(), 61);
    QCOMPARE(MaquinaUsuario(maquina, usuario, true),
             MaquinaUsuario(maquina, usuario, false).left(50));
}

QTEST_GUILESS_MAIN(TstLineaComando)
#include "tst_lineacomando.moc"
