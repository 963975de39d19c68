// The SQL lexer: which tokens a text splits into, that they cover it exactly, and what
// quoted tokens stand for.

#include "platform/sql/LexicoSql.h"

#include <QTest>

using namespace sql;

namespace {

QString Escapado(QStringView s) {
    QString r = s.toString();
    r.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    return r;
}

// "Clase texto", with the symbol's kind for a Simbolo and " (abierto)" when open.
QString Describe(QStringView texto, const Token& t) {
    static const char* const clases[] = {"Espacio", "Comentario", "Palabra", "Identificador",
                                         "Cadena",  "Numero",     "Fecha",   "Simbolo"};
    static const char* const simbolos[] = {"",
                                           "AbreParentesis",
                                           "CierraParentesis",
                                           "Coma",
                                           "PuntoYComa",
                                           "Punto",
                                           "Igual",
                                           "Distinto",
                                           "Menor",
                                           "Mayor",
                                           "MenorIgual",
                                           "MayorIgual",
                                           "NoMenor",
                                           "NoMayor",
                                           "Mas",
                                           "Menos",
                                           "Por",
                                           "Division",
                                           "Modulo",
                                           "Concatena",
                                           "OtroOperador",
                                           "Otro"};
    QString r = QString::fromLatin1(t.clase == Clase::Simbolo ? simbolos[int(t.simbolo)]
                                                              : clases[int(t.clase)]);
    r += u' ' + Escapado(TextoDe(texto, t));
    if (t.abierto)
        r += QStringLiteral(" (abierto)");
    return r;
}

} // namespace

class TstLexicoSql : public QObject {
    Q_OBJECT

private slots:
    void tokens_data();
    void tokens();
    void valor_data();
    void valor();
};

void TstLexicoSql::tokens_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<bool>("anidados");
    QTest::addColumn<QStringList>("esperado");
    QTest::newRow("palabras") << "SELECT @@IDENTITY,#tmp, Año2 FROM dbo.T$1" << true
                              << QStringList{"Palabra SELECT", "Espacio  ",    "Palabra @@IDENTITY",
                                             "Coma ,",         "Palabra #tmp", "Coma ,",
                                             "Espacio  ",      "Palabra Año2", "Espacio  ",
                                             "Palabra FROM",   "Espacio  ",    "Palabra dbo",
                                             "Punto .",        "Palabra T$1"};
    QTest::newRow("nombres citados")
        << "[a]]b].\"c\"\"d\"`e`" << true
        << QStringList{"Identificador [a]]b]", "Punto .", "Identificador \"c\"\"d\"",
                       "Identificador `e`"};
    QTest::newRow("textos") << "'it''s'N'ñ' n'x''" << true
                            << QStringList{"Cadena 'it''s'", "Cadena N'ñ'", "Espacio  ",
                                           "Cadena n'x'' (abierto)"};
    QTest::newRow("numeros") << "12 1.5 1. .5 1e-3 2E+5 0x1F 1e 1.2.3" << true
                             << QStringList{"Numero 12",   "Espacio  ",  "Numero 1.5",  "Espacio  ",
                                            "Numero 1.",   "Espacio  ",  "Numero .5",   "Espacio  ",
                                            "Numero 1e-3", "Espacio  ",  "Numero 2E+5", "Espacio  ",
                                            "Numero 0x1F", "Espacio  ",  "Numero 1",    "Palabra e",
                                            "Espacio  ",   "Numero 1.2", "Numero .3"};
    QTest::newRow("operadores")
        << "a<>b!=c<=d>=e!<f!>g==h||i+j-k*l/m%n&o!p|q=r<s>t" << true
        << QStringList{
               "Palabra a",     "Distinto <>",    "Palabra b",      "Distinto !=", "Palabra c",
               "MenorIgual <=", "Palabra d",      "MayorIgual >=",  "Palabra e",   "NoMenor !<",
               "Palabra f",     "NoMayor !>",     "Palabra g",      "Igual ==",    "Palabra h",
               "Concatena ||",  "Palabra i",      "Mas +",          "Palabra j",   "Menos -",
               "Palabra k",     "Por *",          "Palabra l",      "Division /",  "Palabra m",
               "Modulo %",      "Palabra n",      "OtroOperador &", "Palabra o",   "OtroOperador !",
               "Palabra p",     "OtroOperador |", "Palabra q",      "Igual =",     "Palabra r",
               "Menor <",       "Palabra s",      "Mayor >",        "Palabra t"};
    QTest::newRow("puntuacion y otros")
        << "f(x);?1 $:" << true << QStringList{"Palabra f",    "AbreParentesis (",
                                               "Palabra x",    "CierraParentesis )",
                                               "PuntoYComa ;", "Otro ?",
                                               "Numero 1",     "Espacio  ",
                                               "Otro $",       "Otro :"};
    QTest::newRow("comentarios anidados")
        << "a -- fin\r\nb/* x /* y */ z */-c" << true
        << QStringList{"Palabra a",      "Espacio  ", "Comentario -- fin",
                       "Espacio \\r\\n", "Palabra b", "Comentario /* x /* y */ z */",
                       "Menos -",        "Palabra c"};
    QTest::newRow("comentarios de sqlite")
        << "/* x /* y */ z */" << false << QStringList{"Comentario /* x /* y */",
                                                       "Espacio  ",
                                                       "Palabra z",
                                                       "Espacio  ",
                                                       "Por *",
                                                       "Division /"};
    QTest::newRow("fechas de access")
        << "#31/01/2024# #2024-01-31 10:30 PM#,#1a" << true
        << QStringList{"Fecha #31/01/2024#", "Espacio  ", "Fecha #2024-01-31 10:30 PM#", "Coma ,",
                       "Palabra #1a"};
    QTest::newRow("corchete abierto")
        << "SELECT [a b" << true
        << QStringList{"Palabra SELECT", "Espacio  ", "Identificador [a b (abierto)"};
    QTest::newRow("comillas abiertas")
        << "\"a\"\"" << true << QStringList{"Identificador \"a\"\" (abierto)"};
    QTest::newRow("comentario abierto")
        << "x /* a /* b */" << true
        << QStringList{"Palabra x", "Espacio  ", "Comentario /* a /* b */ (abierto)"};
    QTest::newRow("vacio") << "" << true << QStringList{};
}

void TstLexicoSql::tokens() {
    QFETCH(QString, texto);
    QFETCH(bool, anidados);
    QFETCH(QStringList, esperado);
    const QList<Token> tokens = Tokeniza(texto, {.comentariosAnidados = anidados});
    QStringList obtenido;
    int fin = 0;
    for (const Token& t : tokens) {
        obtenido << Describe(texto, t);
        // One after the other, nothing left out.
        QCOMPARE(t.inicio, fin);
        QVERIFY(t.largo > 0);
        fin = t.inicio + t.largo;
        QCOMPARE(t.finDeLinea, t.clase == Clase::Espacio && (TextoDe(texto, t).contains(u'\n') ||
                                                             TextoDe(texto, t).contains(u'\r')));
        QCOMPARE(t.prefijoN, t.clase == Clase::Cadena && texto[t.inicio] != u'\'');
    }
    QCOMPARE(obtenido, esperado);
    QCOMPARE(fin, int(texto.size()));
    // Past the end: Fin, again and again.
    Lexico lexico(texto);
    for (Token t = lexico.Siguiente(); t.clase != Clase::Fin; t = lexico.Siguiente()) {
    }
    const Token ultimo = lexico.Siguiente();
    QCOMPARE(int(ultimo.clase), int(Clase::Fin));
    QCOMPARE(ultimo.inicio, int(texto.size()));
    QCOMPARE(ultimo.largo, 0);
}

void TstLexicoSql::valor_data() {
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("valor");
    QTest::newRow("apostrofo doble") << "'it''s'"
                                     << "it's";
    QTest::newRow("prefijo N") << "N'a''b'"
                               << "a'b";
    QTest::newRow("texto vacio") << "''"
                                 << "";
    QTest::newRow("corchete doble") << "[a]]b]"
                                    << "a]b";
    QTest::newRow("comillas dobles") << "\"c\"\"d\""
                                     << "c\"d";
    QTest::newRow("acento grave") << "`e f`"
                                  << "e f";
    QTest::newRow("texto abierto") << "'ab"
                                   << "ab";
    QTest::newRow("nombre abierto") << "[x"
                                    << "x";
    QTest::newRow("palabra") << "Año"
                             << "Año";
}

void TstLexicoSql::valor() {
    QFETCH(QString, texto);
    QFETCH(QString, valor);
    const QList<Token> tokens = Tokeniza(texto);
    QCOMPARE(tokens.size(), 1);
    QCOMPARE(ValorDe(texto, tokens.first()), valor);
}

QTEST_GUILESS_MAIN(TstLexicoSql)
#include "tst_lexicosql.moc"
