#pragma once
// The program's one SQL lexer. It splits statement text, as the program writes it in
// SQL Server's dialect, into tokens that together cover the text exactly: each token
// has its offset and length in the text, so a caller can copy, drop or replace any of
// them and keep everything else as written.
//
// Use:
//     sql::Lexico lexico(texto);
//     for (sql::Token t = lexico.Siguiente(); t.clase != sql::Clase::Fin;
//          t = lexico.Siguiente()) { ... sql::TextoDe(texto, t) ... }
// or sql::Tokeniza(texto) for the whole list. Blanks and comments are tokens of their
// own (EsTrivia). Nothing fails: a string, quoted name or comment whose closing mark is
// missing runs to the end of the text and has `abierto` set; a character the lexer has
// no use for is a Simbolo::Otro of its own.

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>

namespace sql {

enum class Clase : std::uint8_t {
    Espacio,       // blanks, tabs and line ends
    Comentario,    // "-- ..." up to the line end (not included), or "/* ... */"
    Palabra,       // a name or keyword: a letter, "_", "@" or "#", then letters, digits
                   // and "_", "@", "#", "$" ("@@IDENTITY", "#temporal", "NOMBRE2")
    Identificador, // a quoted name: [x], "x" or `x`; the closing mark doubled stands for one
    Cadena,        // 'text' or N'text'; '' stands for one apostrophe
    Numero,        // 12, 1.5, 1., .5, 1e-3, 0x1F
    Fecha,         // #31/01/2024# or #2024-01-31 10:30#, as Access-style builders wrote dates
    Simbolo,       // an operator or punctuation mark: see Simbolo
    Fin,           // past the last token: offset at the end of the text, length 0
};

enum class Simbolo : std::uint8_t {
    Ninguno, // not a Simbolo token
    AbreParentesis,
    CierraParentesis,
    Coma,
    PuntoYComa,
    Punto,
    // Comparisons, in this order (EsComparacion).
    Igual,      // = and ==
    Distinto,   // <> and !=
    Menor,      // <
    Mayor,      // >
    MenorIgual, // <=
    MayorIgual, // >=
    NoMenor,    // !<
    NoMayor,    // !>
    // Arithmetic and text operators, in this order.
    Mas,
    Menos,
    Por,
    Division,
    Modulo,
    Concatena,    // ||
    OtroOperador, // & | ^ ~ and a lone !
    Otro,         // any other character: ? : $ { } \ ...
};

struct Token {
    int inicio = 0; // offset in the text, in UTF-16 units
    int largo = 0;
    Clase clase = Clase::Fin;
    Simbolo simbolo = Simbolo::Ninguno;
    bool prefijoN = false;   // a Cadena written N'...'
    bool abierto = false;    // a Cadena, Identificador or Comentario without its closing mark
    bool finDeLinea = false; // an Espacio that holds a CR or LF
};

struct Opciones {
    // SQL Server nests block comments; SQLite ends one at the first "*/".
    bool comentariosAnidados = true;
};

class Lexico {
public:
    explicit Lexico(QStringView texto, Opciones opciones = {})
        : texto_(texto), opciones_(opciones) {}
    // The token at the current position; then the position moves past it.
    Token Siguiente();

private:
    QStringView texto_;
    Opciones opciones_;
    int pos_ = 0;
};

// Every token of the text, trivia included, without the final Fin.
QList<Token> Tokeniza(QStringView texto, Opciones opciones = {});

inline bool EsTrivia(const Token& t) {
    return t.clase == Clase::Espacio || t.clase == Clase::Comentario;
}
inline bool EsComparacion(Simbolo s) {
    return s >= Simbolo::Igual && s <= Simbolo::NoMayor;
}
inline bool EsOperador(Simbolo s) {
    return s >= Simbolo::Mas && s <= Simbolo::OtroOperador;
}

inline QStringView TextoDe(QStringView texto, const Token& t) {
    return texto.sliced(t.inicio, t.largo);
}

// A Palabra that is `clave`, regardless of letter case.
bool EsPalabra(QStringView texto, const Token& t, QLatin1String clave);

// What a Cadena or Identificador stands for: without N, its marks and the doubling
// of its closing mark. Other tokens give their text.
QString ValorDe(QStringView texto, const Token& t);

} // namespace sql
