#pragma once
// A text's tokens with the small questions the passes to Oracle ask of them: what
// a token is, and where the next and the previous token that is not a blank or a
// comment stand. A position out of range is no word and no symbol.

#include "platform/sql/LexicoSql.h"

#include <QList>
#include <QStringView>

#include <initializer_list>

namespace db::oracle {

struct Tokens {
    QStringView t;
    QList<sql::Token> tk = sql::Tokeniza(t);

    int n() const { return int(tk.size()); }
    bool valido(int i) const { return i >= 0 && i < n(); }
    bool trivia(int i) const { return sql::EsTrivia(tk[i]); }
    bool es(int i, const char* p) const {
        return valido(i) && sql::EsPalabra(t, tk[i], QLatin1String(p));
    }
    bool unaDe(int i, std::initializer_list<const char*> ps) const {
        for (const char* p : ps)
            if (es(i, p))
                return true;
        return false;
    }
    bool simbolo(int i, sql::Simbolo s) const { return valido(i) && tk[i].simbolo == s; }
    int sig(int i) const {
        for (++i; i < n() && trivia(i); ++i) {
        }
        return i;
    }
    int ant(int i) const {
        for (--i; i >= 0 && trivia(i); --i) {
        }
        return i;
    }
    qsizetype fin(int i) const { return tk[i].inicio + tk[i].largo; }
};

} // namespace db::oracle
