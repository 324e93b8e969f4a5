// The German texts. Every placeholder of the English text appears here in the same order,
// because the callers fill them positionally.
#include <iterator>

#include "app/messages.h"

namespace {

constexpr const char16_t* kGerman[] = {
    /* 0 */ u"OK",
    /* 1 */ u"Abbrechen",
    /* 2 */ u"Schlie\u00dfen",
    /* 3 */ u"Start",
    /* 4 */ u"Stopp",
    /* 5 */ u"Optionen",
    /* 6 */ u"Beenden",
    /* 7 */ u"Wissenschaftlicher Rechner",
    /* 8 */ u"Algebraische Gleichungen",
    /* 9 */ u"Lineare Gleichungssysteme",
    /* 10 */ u"Polynomrechnung",
    /* 11 */ u"Primzahlen",
    /* 12 */ u"Primfaktoren && Teiler",
    /* 13 */ u"Hilfe anzeigen",
    /* 14 */ u"Info ...",
    /* 15 */ u"Anwendung",
    /* 16 */ u"Algebra",
    /* 17 */ u"Hilfe",
    /* 18 */ u"Wissenschaftlicher Rechner",
    /* 19 */ u"Genauigkeit",
    /* 20 */ u"reell",
    /* 21 */ u"rat",
    /* 22 */ u"kplx",
    /* 23 */ u"Ausg.\r\nBasis",
    /* 24 */ u"<Zahl ist zu lang f\u00fcr die Festkommadarstellung>",
    /* 25 */ u"Primfaktoren und Teiler",
    /* 26 */ u"Start",
    /* 27 */ u"Modus",
    /* 28 */ u"Primfaktoren",
    /* 29 */ u"Teiler",
    /* 30 */ u"Anzahl der Teiler",
    /* 31 */ u"Intervallgr\u00f6\u00dfe",
    /* 32 */ u"Die Zahl hat keine Primfaktoren!",
    /* 33 */ u"T ",
    /* 34 */ u"Primzahlen",
    /* 35 */ u"Ein-/Ausgabe",
    /* 36 */ u"Intervallgr\u00f6\u00dfe",
    /* 37 */ u"N\u00e4chste Primzahl",
    /* 38 */ u"Primzahltest",
    /* 39 */ u"Methode",
    /* 40 */ u"exakt (max. %d bis %d Dezimalziffern)",
    /* 41 */ u"probabilistisch (max. %d Dezimalziff.)",
    /* 42 */ u" ist eine Primzahl.",
    /* 43 */ u" ist keine Primzahl.",
    /* 44 */ u"Primzahlen von ",
    /* 45 */ u" bis ",
    /* 46 */ u"N\u00e4chste Primzahl:",
    /* 47 */ u"Anzahl der Primzahlen:",
    /* 48 */ u"Optionen",
    /* 49 */ u"Zahlendarstellung",
    /* 50 */ u"Dezimal- und Tausendertrennzeichen",
    /* 51 */ u"Automatische Auswahl",
    /* 52 */ u"Punkt",
    /* 53 */ u"Komma",
    /* 54 */ u"Apostroph",
    /* 55 */ u"Schmales Leerzeichen U+202F",
    /* 56 */ u"Dezimaltrennzeichen",
    /* 57 */ u"Tausendertrennzeichen",
    /* 58 */ u"Tausendertrennzeichen verwenden bei",
    /* 59 */ u"Wissenschaftlicher Rechner",
    /* 60 */ u"Gleichungen && Polynome",
    /* 61 */ u"Primzahlen && Primfaktoren",
    /* 62 */ u"Sprache",
    /* 63 */ u"Sprache",
    /* 64 */ u"Automatische Auswahl",
    /* 65 */ u"Englisch",
    /* 66 */ u"Deutsch",
    /* 67 */ u"Hinweis",
    /* 68 */
    u"Die \u00c4nderung der Spracheinstellung wird erst nach einem Neustart der Anwendung "
    u"wirksam. Die Anwendung wird deshalb jetzt neu gestartet.",
    /* 69 */ u"Algebraische Gleichungen l\u00f6sen",
    /* 70 */ u"Grad",
    /* 71 */ u"Modus",
    /* 72 */ u"reell",
    /* 73 */ u"komplex",
    /* 74 */ u"Ergebnistyp",
    /* 75 */ u"N\u00e4herung",
    /* 76 */ u"Exakter Wert",
    /* 77 */ u"Vielfachheit",
    /* 78 */ u"Geben Sie die Koeffizienten der Gleichung %s ein.",
    /* 79 */ u"L\u00f6sen",
    /* 80 */ u"Die Gleichung hat keine reellen L\u00f6sungen.",
    /* 81 */ u"Lineare Gleichungssysteme",
    /* 82 */ u"Anzahl der Gleichungen",
    /* 83 */ u"Zahlentyp",
    /* 84 */
    u"Geben Sie die Koeffizienten ai und die Zahl b f\u00fcr alle Gleichungen "
    u"a1*x1 + a2*x2 + ... = b in das Datengitter ein. Leere Textzellen werden als 0 "
    u"eingelesen.",
    /* 85 */ u"Leeren",
    /* 86 */ u"Laden",
    /* 87 */ u"Speichern unter",
    /* 88 */ u"Das Gleichungssystem ist nicht l\u00f6sbar!\r\n",
    /* 89 */ u"\r\nDie Parametervariable %s ist frei w\u00e4hlbar.\r\n",
    /* 90 */ u"\r\nDie Parametervariablen %s sind frei w\u00e4hlbar.\r\n",
    /* 91 */ u"CSV-Dateien",
    /* 92 */ u"Alle Dateien",
    /* 93 */ u"Polynomrechnung",
    /* 94 */ u"Anzahl der Polynome",
    /* 95 */ u"Max. Grad",
    /* 96 */
    u"Geben Sie die Koeffizienten der Polynome Pi(x) = %s in das Datengitter ein. Leere "
    u"Textzellen werden als 0 eingelesen.",
    /* 97 */ u"Rest",
    /* 98 */ u"%s leeren",
    /* 99 */ u"Polynome leeren",
    /* 100 */ u"Erg. \u2192 %s",
    /* 101 */ u"\u00dcber %s",
    /* 102 */ u"%s %s",  // product name and version
    /* 103 */ u"Erstellungsdatum: %s",
    /* 104 */ u"\u00a9 %s von %s",  // year of the build date, maker
    /* 105 */ u"E-Mail: %s",
    /* 106 */ u"Homepage\r\n%s",
    /* 107 */ u"Spenden",
    /* 108 */ u"Fehler",
    /* 109 */ u"Alles OK.",
    /* 110 */ u"Ung\u00fcltige Eingabe \"%s\" !",
    /* 111 */ u"\u00dcberlauf bei einer mathematischen Berechnung!",
    /* 112 */ u"Division durch 0!",
    /* 113 */ u"Der eingegebene Text ist zu lang!",
    /* 114 */ u"Die Datei \"%s\" wurde nicht gefunden!",
    /* 115 */
    u"Fehler beim Zugriff auf die Datei \"%s\" ! M\u00f6glicherweise ist die Datei bereits in "
    u"einem anderen Programm ge\u00f6ffnet oder Sie haben keine ausreichenden Zugriffsrechte "
    u"f\u00fcr die Datei.",
    /* 116 */ u"Fehler in der mathematischen Formel!",
    /* 117 */ u"Das Ergebnis kann nicht in den aktuellen Zahlentyp umgewandelt werden!",
    /* 118 */
    u"Die Variable \"%s\" kann f\u00fcr den aktuellen Zahlentyp nicht ausgewertet werden!",
    /* 119 */ u"Die Formel enth\u00e4lt zu viele Variablen!",
    /* 120 */
    u"Die Ergebnisvariable \"%s\" wird in der Formel benutzt, es ist jedoch kein Ergebnis "
    u"einer vorigen Berechnung verf\u00fcgbar!",
    /* 121 */
    u"Der Variablenname \"%s\" ist ung\u00fcltig. Es sind nur die folgenden Zeichen "
    u"erlaubt:\r\n\r\n"
    u"\u2022Lateinische Gro\u00df- und Kleinbuchstaben\r\n"
    u"\u2022Griechische Gro\u00df- und Kleinbuchstaben\r\n"
    u"\u2022Unterstrich \"_\"\r\n"
    u"\u2022Dezimalziffern ab dem zweiten Zeichen\r\n\r\n"
    u"Au\u00dferdem sind folgende Namen reserviert und k\u00f6nnen nicht als Variablennamen "
    u"benutzt werden: \"e\", \"i\", \"\u03c0\", \"pi\", \"ans\"",
    /* 122 */ u"Der h\u00f6chste Koeffizient \"%s\" darf nicht 0 sein!",
    /* 123 */ u"Das Iterationsverfahren hat nicht konvergiert!",
    /* 124 */ u"Fehler bei der Auswertung von Koeffizient \"%s\"!",
    /* 125 */ u"Der Koeffizient \"%s\" muss reell sein!",
    /* 126 */ u"\u00dcberlauf beim exakten L\u00f6sen der Gleichung!",
    /* 127 */
    u"Der Koeffizient \"%s\" ist keine rationale Zahl in Z\u00e4hler-Nenner-Darstellung oder "
    u"\u00dcberlauf bei Z\u00e4hler oder Nenner!",
    /* 128 */ u"Koeffizient \"%s\" hat zu viele Zeichen!",
    /* 129 */ u"\u00dcberlauf bei der Primzahlberechnung!",
    /* 130 */ u"\u00dcberlauf bei der Primfaktorberechnung!",
    /* 131 */ u"Die Zahl \"%s\" hat zu viele Primfaktoren bzw. Teiler!",
    /* 132 */ u"Fehler bei der Auswertung des Koeffizienten \"%s\" im Polynom \"%s\"!",
    /* 133 */ u"Der Koeffizient \"%s\" im Polynom \"%s\" ist zu lang!",
    /* 134 */ u"Der maximale Polynomgrad des Ergebnisses darf %s nicht \u00fcberschreiten!",
    /* 135 */ u"Das Polynom \"%s\" muss eine ganze Zahl von 0 bis %s sein!",
    /* 136 */ u"Der Koeffizient in Gleichung %s, Spalte \"%s\" ist zu lang!",
    /* 137 */ u"Fehler bei der Auswertung des Koeffizienten in Gleichung %s, Spalte \"%s\"!",
    /* 138 */ u"Die Anzahl der Gleichungsvariablen muss zwischen 2 und %s liegen!",
    /* 139 */ u"Interner Fehler!",
    /* 140 */ u"Noch nicht implementiert!",
    /* 141 */ u"\u00dcberlauf eines Textpuffers!",
    /* 142 */ u"Unbekannter Fehler %s aufgetreten!",
    /* 143 */
    u"Dezimal- und Tausendertrennzeichen d\u00fcrfen nicht gleich und nicht undefiniert sein.",
    /* 144 */ u"Syntaxfehler bei Zeichenposition %d!",
    /* 145 */
    u"Die \u00f6ffnende Klammer f\u00fcr die schlie\u00dfende Klammer bei Zeichenposition %d "
    u"fehlt!",
    /* 146 */ u"Unerwartetes Ende der Formel!",
    /* 147 */ u"\u00dcberlauf bei Zeichenposition %d!",
    /* 148 */ u"Die Formel ist zu kompliziert, weil zu viele Klammern verschachtelt sind!",
    /* 149 */ u"Interner Formelfehler %d aufgetreten!",
    /* 150 */ u"Die Anzahl der Parameter der Funktion bei Zeichenposition %d ist falsch!",
    /* 151 */
    u"Die Funktion oder Zahl bei Zeichenposition %d erfordert einen komplexen Zahlentyp!",
    /* 152 */
    u"Die Zahl bei Zeichenposition %d hat ein ung\u00fcltiges Format oder ist au\u00dferhalb "
    u"des zul\u00e4ssigen Bereichs!",
    /* 153 */
    u"Die Funktion bei Zeichenposition %d ist f\u00fcr den eingestellten Zahlentyp nicht "
    u"verf\u00fcgbar!",
    /* 154 */ u"Die Berechnung wurde vom Benutzer abgebrochen.",
    /* 155 */
    u"Die Variable bei Zeichenposition %d wurde in der Variablentabelle nicht gefunden!",
    /* 156 */ u"Die Variable bei Zeichenposition %d konnte nicht ausgewertet werden!",
    /* 157 */ u"Stellen",
    /* 158 */ u"Basis",
    /* 159 */ u"rational",
    /* 160 */ u"reell",
    /* 161 */ u"komplex",
    /* 162 */ u"Rechnervariablen",
    /* 163 */ u"Variablen",
    /* 164 */ u"Name",
    /* 165 */ u"Basis",
    /* 166 */ u"Wert",
    /* 167 */ u"Name \u00fcbernehmen",
    /* 168 */ u"Variable hinzuf\u00fcgen",
    /* 169 */ u"Variable einf\u00fcgen",
    /* 170 */ u"Variable l\u00f6schen",
    /* 171 */ u"Ergebnis zuweisen",
    // Calculator window: context menu, call forms, accessible names and descriptions.
    /* 172 */ u"Ergebnis kopieren",
    /* 173 */ u"Basis",
    /* 174 */ u"Exponent",
    /* 175 */ u"Modul",
    /* 176 */ u"Formel",
    /* 177 */ u"Ergebnis",
    /* 178 */ u"Winkeleinheit",
    /* 179 */ u"Gro\u00df- oder Kleinschreibung der Hexadezimalziffern",
    /* 180 */ u"Eine ganzzahlige Operation hat einen Rest verworfen: Das Ergebnis ist nicht exakt.",
    /* 181 */ u"Eingabe berechnet, Umschalt+Eingabe beginnt eine neue Zeile, Pfeil hoch und runter holen fr\u00fchere Formeln zur\u00fcck, Tab erg\u00e4nzt Namen, Esc bricht eine Berechnung ab.",
    /* 182 */ u"Berechnung l\u00e4uft \u2026",
    /* 183 */ u"Alles l\u00f6schen",
    /* 184 */ u"Letztes Zeichen l\u00f6schen",
    /* 185 */ u"Formel l\u00f6schen",
    /* 186 */ u"Formel einklammern",
    /* 187 */ u"Berechnen",
    /* 188 */ u"Zwischen Festkomma- und wissenschaftlicher Schreibweise wechseln",
    /* 189 */ u"Zwischen Bruch und gemischter Zahl wechseln",
    /* 190 */ u"Ergebnis der vorigen Berechnung",
    /* 191 */ u"Anzahl der Ziffern des Ergebnisses",
    /* 192 */ u"uint: nat\u00fcrliche Zahlen, rat: Br\u00fcche, real: reelle Zahlen, cplx: komplexe Zahlen",
    /* 193 */ u"deg: Altgrad, rad: Bogenma\u00df, gon: Neugrad",
    /* 194 */ u"Division durch null bei Zeichenposition %d!",
    /* 195 */
    u"Argument au\u00dferhalb des Definitionsbereichs der Funktion bei Zeichenposition %d!",
    /* 196 */
    u"Komplexes Argument bei Zeichenposition %d: Die Funktion ben\u00f6tigt ein reelles "
    u"Argument!",
    /* 197 */ u"Unterlauf bei Zeichenposition %d: Der Betrag einer Zahl wurde zu klein!",
    // The linear-systems window.
    /* 198 */
    u"Zellen des eingef\u00fcgten Blocks, die au\u00dferhalb des sichtbaren Datengitters liegen "
    u"und ausgelassen wurden: %d",
};
static_assert(std::size(kGerman) == kMessageCount);

}  // namespace

const char16_t* german_text(MessageId id) {
  return kGerman[id];
}
