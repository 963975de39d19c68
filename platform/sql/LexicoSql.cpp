#include "platform/sql/LexicoSql.h"

#include <array>

namespace sql {

namespace {

bool EsDigito(char16_t c) {
    return c >= '0' && c <= '9';
}

// Characters that continue a word, for the ASCII range.
constexpr auto kLetrasPalabra = [] {
    std::array<bool, 128> t{};
    for (int c = 0; c < 128; ++c)
        t[size_t(c)] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '@' || c == '#' || c == '$';
    return t;
}();

bool SiguePalabra(char16_t c) {
    return c < 0x80 ? kLetrasPalabra[c] : QChar(c).isLetterOrNumber();
}

bool EmpiezaPalabra(char16_t c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '@' || c == '#';
    return QChar(c).isLetter();
}

bool EsBlanco(char16_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Characters an Access-style date may hold between its "#" marks.
bool EnFecha(char16_t c) {
    return EsDigito(c) || c == '/' || c == '-' || c == ':' || c == '.' || c == ' ' || c == 'A' ||
           c == 'P' || c == 'M' || c == 'a' || c == 'p' || c == 'm';
}

} // namespace

Token Lexico::Siguiente() {
    const QChar* d = texto_.data();
    const int n = int(texto_.size());
    const auto en = [&](int k) -> char16_t { return k < n ? d[k].unicode() : char16_t(0); };
    Token t;
    const int i = pos_;
    t.inicio = i;
    if (i >= n)
        return t;
    const char16_t c = en(i);
    int j = i + 1;
    // Quoted runs: the position after the closing mark, which a doubled mark does not close;
    // -1 when the text ends first.
    const auto cerrado = [&](int desde, char16_t cierre) {
        for (int k = desde; k < n; ++k) {
            if (d[k].unicode() == cierre) {
                if (en(k + 1) == cierre)
                    ++k;
                else
                    return k + 1;
            }
        }
        return -1;
    };
    const auto simbolo = [&](Simbolo s, int largo = 1) {
        t.clase = Clase::Simbolo;
        t.simbolo = s;
        j = i + largo;
    };
    if (EsBlanco(c)) {
        t.clase = Clase::Espacio;
        t.finDeLinea = c == '\r' || c == '\n';
        while (j < n && EsBlanco(en(j))) {
            t.finDeLinea |= en(j) == '\r' || en(j) == '\n';
            ++j;
        }
    } else if (c == '-' && en(i + 1) == '-') {
        t.clase = Clase::Comentario;
        while (j < n && en(j) != '\n' && en(j) != '\r')
            ++j;
    } else if (c == '/' && en(i + 1) == '*') {
        t.clase = Clase::Comentario;
        int profundidad = 1;
        j = i + 2;
        while (j < n && profundidad > 0) {
            if (opciones_.comentariosAnidados && en(j) == '/' && en(j + 1) == '*') {
                ++profundidad;
                j += 2;
            } else if (en(j) == '*' && en(j + 1) == '/') {
                --profundidad;
                j += 2;
            } else {
                ++j;
            }
        }
        if (profundidad > 0)
            j = -1;
    } else if ((c == 'N' || c == 'n') && en(i + 1) == '\'') {
        t.clase = Clase::Cadena;
        t.prefijoN = true;
        j = cerrado(i + 2, '\'');
    } else if (c == '\'') {
        t.clase = Clase::Cadena;
        j = cerrado(i + 1, '\'');
    } else if (c == '[' || c == '"' || c == '`') {
        t.clase = Clase::Identificador;
        j = cerrado(i + 1, c == '[' ? char16_t(']') : c);
    } else if (c == '#' && EsDigito(en(i + 1))) {
        // #31/01/2024#, else a temporary table's name.
        int k = i + 1;
        while (k < n && EnFecha(en(k)))
            ++k;
        if (en(k) == '#') {
            t.clase = Clase::Fecha;
            j = k + 1;
        } else {
            t.clase = Clase::Palabra;
            while (j < n && SiguePalabra(en(j)))
                ++j;
        }
    } else if (EmpiezaPalabra(c)) {
        t.clase = Clase::Palabra;
        while (j < n && SiguePalabra(en(j)))
            ++j;
    } else if (EsDigito(c) || (c == '.' && EsDigito(en(i + 1)))) {
        t.clase = Clase::Numero;
        if (c == '0' && (en(i + 1) == 'x' || en(i + 1) == 'X')) {
            j = i + 2;
            while (j < n && (EsDigito(en(j)) || (en(j) >= 'a' && en(j) <= 'f') ||
                             (en(j) >= 'A' && en(j) <= 'F')))
                ++j;
        } else {
            j = i;
            while (EsDigito(en(j)))
                ++j;
            if (en(j) == '.') {
                ++j;
                while (EsDigito(en(j)))
                    ++j;
            }
            if ((en(j) == 'e' || en(j) == 'E') &&
                (EsDigito(en(j + 1)) ||
                 ((en(j + 1) == '+' || en(j + 1) == '-') && EsDigito(en(j + 2))))) {
                j += 2;
                while (EsDigito(en(j)))
                    ++j;
            }
        }
    } else {
        const char16_t c2 = en(i + 1);
        switch (c) {
        case '(':
            simbolo(Simbolo::AbreParentesis);
            break;
        case ')':
            simbolo(Simbolo::CierraParentesis);
            break;
        case ',':
            simbolo(Simbolo::Coma);
            break;
        case ';':
            simbolo(Simbolo::PuntoYComa);
            break;
        case '.':
            simbolo(Simbolo::Punto);
            break;
        case '=':
            simbolo(Simbolo::Igual, c2 == '=' ? 2 : 1);
            break;
        case '<':
            if (c2 == '=')
                simbolo(Simbolo::MenorIgual, 2);
            else if (c2 == '>')
                simbolo(Simbolo::Distinto, 2);
            else
                simbolo(Simbolo::Menor);
            break;
        case '>':
            if (c2 == '=')
                simbolo(Simbolo::MayorIgual, 2);
            else
                simbolo(Simbolo::Mayor);
            break;
        case '!':
            if (c2 == '=')
                simbolo(Simbolo::Distinto, 2);
            else if (c2 == '<')
                simbolo(Simbolo::NoMenor, 2);
            else if (c2 == '>')
                simbolo(Simbolo::NoMayor, 2);
            else
                simbolo(Simbolo::OtroOperador);
            break;
        case '+':
            simbolo(Simbolo::Mas);
            break;
        case '-':
            simbolo(Simbolo::Menos);
            break;
        case '*':
            simbolo(Simbolo::Por);
            break;
        case '/':
            simbolo(Simbolo::Division);
            break;
        case '%':
            simbolo(Simbolo::Modulo);
            break;
        case '|':
            if (c2 == '|')
                simbolo(Simbolo::Concatena, 2);
            else
                simbolo(Simbolo::OtroOperador);
            break;
        case '&':
        case '^':
        case '~':
            simbolo(Simbolo::OtroOperador);
            break;
        default:
            simbolo(Simbolo::Otro);
            break;
        }
    }
    if (j < 0) {
        t.abierto = true;
        j = n;
    }
    t.largo = j - i;
    pos_ = j;
    return t;
}

QList<Token> Tokeniza(QStringView texto, Opciones opciones) {
    QList<Token> r;
    Lexico lexico(texto, opciones);
    for (Token t = lexico.Siguiente(); t.clase != Clase::Fin; t = lexico.Siguiente())
        r.append(t);
    return r;
}

bool EsPalabra(QStringView texto, const Token& t, QLatin1String clave) {
    return t.clase == Clase::Palabra && TextoDe(texto, t).compare(clave, Qt::CaseInsensitive) == 0;
}

QString ValorDe(QStringView texto, const Token& t) {
    const QStringView s = TextoDe(texto, t);
    if (t.clase != Clase::Cadena && t.clase != Clase::Identificador)
        return s.toString();
    const qsizetype desde = t.prefijoN ? 2 : 1;
    const QChar cierre = s[desde - 1] == u'[' ? QChar(u']') : s[desde - 1];
    const qsizetype hasta = t.abierto ? s.size() : s.size() - 1;
    QString valor;
    valor.reserve(hasta - desde);
    for (qsizetype k = desde; k < hasta; ++k) {
        valor += s[k];
        if (s[k] == cierre && k + 1 < hasta && s[k + 1] == cierre)
            ++k;
    }
    return valor;
}

} // namespace sql
