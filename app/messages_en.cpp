// The English texts. The wording is fixed: the help pages quote it.
#include <iterator>

#include "app/messages.h"

namespace {

constexpr const char16_t* kEnglish[] = {
    /* 0 */ u"OK",
    /* 1 */ u"Cancel",
    /* 2 */ u"Close",
    /* 3 */ u"Start",
    /* 4 */ u"Stop",
    /* 5 */ u"Options",
    /* 6 */ u"Exit",
    /* 7 */ u"Scientific Calculator",
    /* 8 */ u"Algebraic Equations",
    /* 9 */ u"Systems of Linear Equations",
    /* 10 */ u"Polynomial Calculation",
    /* 11 */ u"Prime Numbers",
    /* 12 */ u"Prime Factors && Divisors",
    /* 13 */ u"Show Help",
    /* 14 */ u"Info ...",
    /* 15 */ u"Application",
    /* 16 */ u"Algebra",
    /* 17 */ u"Help",
    /* 18 */ u"Scientific Calculator",
    /* 19 */ u"Precision",
    /* 20 */ u"real",
    /* 21 */ u"rat",
    /* 22 */ u"cplx",
    /* 23 */ u"Output\r\nBase",
    /* 24 */ u"<Number is too long for fixed-point notation>",
    /* 25 */ u"Prime factors and divisors",
    /* 26 */ u"Start",
    /* 27 */ u"Mode",
    /* 28 */ u"Prime factors",
    /* 29 */ u"Divisors",
    /* 30 */ u"Number of divisors",
    /* 31 */ u"Interval size",
    /* 32 */ u"Number has no prime factors!",
    /* 33 */ u"D ",
    /* 34 */ u"Prime numbers",
    /* 35 */ u"Input/output",
    /* 36 */ u"Interval size",
    /* 37 */ u"Next prime number",
    /* 38 */ u"Prime number test",
    /* 39 */ u"Method",
    /* 40 */ u"exact (max. %d to %d decimal digits)",
    /* 41 */ u"probabilistic (max. %d decimal digits)",
    /* 42 */ u" is a prime number.",
    /* 43 */ u" is not a prime number.",
    /* 44 */ u"Prime numbers from ",
    /* 45 */ u" to ",
    /* 46 */ u"Next prime number:",
    /* 47 */ u"Number of prime numbers:",
    /* 48 */ u"Options",
    /* 49 */ u"Number presentation",
    /* 50 */ u"Decimal and thousands separator",
    /* 51 */ u"Automatic selection",
    /* 52 */ u"Point",
    /* 53 */ u"Comma",
    /* 54 */ u"Apostrophe",
    /* 55 */ u"Narrow space U+202F",
    /* 56 */ u"Decimal separator",
    /* 57 */ u"Thousands separator",
    /* 58 */ u"Use thousands separator with",
    /* 59 */ u"Scientific calculator",
    /* 60 */ u"Equations && polynomials",
    /* 61 */ u"Prime numbers && factors",
    /* 62 */ u"Language",
    /* 63 */ u"Language",
    /* 64 */ u"Automatic selection",
    /* 65 */ u"English",
    /* 66 */ u"German",
    /* 67 */ u"Hint",
    /* 68 */
    u"The change of the language setting will only take effect after a restart of the "
    u"application. Therefore, the application will be restarted now.",
    /* 69 */ u"Solve algebraic equations",
    /* 70 */ u"Degree",
    /* 71 */ u"Mode",
    /* 72 */ u"real",
    /* 73 */ u"complex",
    /* 74 */ u"Result type",
    /* 75 */ u"Approximation",
    /* 76 */ u"Exact value",
    /* 77 */ u"Multiplicity",
    /* 78 */ u"Enter the coefficients of the equation %s.",
    /* 79 */ u"Solve",
    /* 80 */ u"The equation has no real solutions.",
    /* 81 */ u"Systems of linear equations",
    /* 82 */ u"Equation count",
    /* 83 */ u"Number type",
    /* 84 */
    u"Enter the coefficients ai and the number b for all equations a1*x1 + a2*x2 + ... = b "
    u"into the data grid. Empty text cells are read as 0.",
    /* 85 */ u"Clear",
    /* 86 */ u"Load",
    /* 87 */ u"Save as",
    /* 88 */ u"Equation system is unsolvable!\r\n",
    /* 89 */ u"\r\nThe parameter variable %s is freely selectable.\r\n",
    /* 90 */ u"\r\nThe parameter variables %s are freely selectable.\r\n",
    /* 91 */ u"CSV files",
    /* 92 */ u"All files",
    /* 93 */ u"Polynomial calculation",
    /* 94 */ u"Polynomial count",
    /* 95 */ u"Max. degree",
    /* 96 */
    u"Enter the coefficients of the polynomials Pi(x) = %s into the data grid. Empty text "
    u"cells are read as 0.",
    /* 97 */ u"Remainder",
    /* 98 */ u"Clear %s",
    /* 99 */ u"Clear polynomials",
    /* 100 */ u"Result \u2192 %s",
    /* 101 */ u"About %s",
    /* 102 */ u"%s %s",  // product name and version
    /* 103 */ u"Creation date: %s",
    /* 104 */ u"\u00a9 %s by %s",  // year of the build date, maker
    /* 105 */ u"E-mail: %s",
    /* 106 */ u"Homepage\r\n%s",
    /* 107 */ u"Donate",
    /* 108 */ u"Error",
    /* 109 */ u"All right.",
    /* 110 */ u"Invalid input \"%s\" !",
    /* 111 */ u"Overflow in mathematical calculation!",
    /* 112 */ u"Division by 0!",
    /* 113 */ u"The text entered is too long!",
    /* 114 */ u"The file \"%s\" was not found!",
    /* 115 */
    u"Error when accessing file \"%s\" ! Possibly the file is already opened in another "
    u"program or you do not have sufficient access rights for the file.",
    /* 116 */ u"Error in mathematical formula!",
    /* 117 */ u"Result cannot be converted to the current number type!",
    /* 118 */ u"The variable \"%s\" cannot be evaluated for the current number type!",
    /* 119 */ u"The formula has too many variables!",
    /* 120 */
    u"The result variable \"%s\" is used in the formula, but there is no result of the "
    u"previous calculation available!",
    /* 121 */
    u"The variable name \"%s\" is invalid. Only the following characters are allowed:\r\n\r\n"
    u"\u2022Latin uppercase and lowercase letters\r\n"
    u"\u2022Greek uppercase and lowercase letters\r\n"
    u"\u2022Underscore \"_\"\r\n"
    u"\u2022Decimal digits from the second character\r\n\r\n"
    u"Furthermore the following names are reserved and may not be used as variable names: "
    u"\"e\", \"i\", \"\u03c0\", \"pi\", \"ans\"",
    /* 122 */ u"The highest coefficient \"%s\" must not be 0!",
    /* 123 */ u"Iteration method has not converged!",
    /* 124 */ u"Error evaluating coefficient \"%s\"!",
    /* 125 */ u"The coefficient \"%s\" has to be real!",
    /* 126 */ u"Overflow error when solving the equation exactly!",
    /* 127 */
    u"The coefficient \"%s\" is not a rational number in numerator denominator representation "
    u"or overflow in numerator or denominator!",
    /* 128 */ u"Coefficient \"%s\" has too many characters!",
    /* 129 */ u"Overflow in prime number calculation!",
    /* 130 */ u"Overflow in prime factor calculation!",
    /* 131 */ u"The number \"%s\" has too many prime factors or divisors!",
    /* 132 */ u"Error evaluating coefficient \"%s\" in polynomial \"%s\"!",
    /* 133 */ u"The coefficient \"%s\" in polynomial \"%s\" is too long!",
    /* 134 */ u"The maximum polynomial degree of the result may not exceed %s!",
    /* 135 */ u"The polynomial \"%s\" must be an integer number from 0 to %s!",
    /* 136 */ u"The coefficient in equation %s, column \"%s\" is too long!",
    /* 137 */ u"Error evaluating coefficient in equation %s, column \"%s\"!",
    /* 138 */ u"The number of equation variables has to be between 2 and %s!",
    /* 139 */ u"Internal error!",
    /* 140 */ u"Not yet implemented!",
    /* 141 */ u"String buffer overflow!",
    /* 142 */ u"Unknown error %s occurred!",
    /* 143 */
    u"Decimal and thousands separator must not be the same and they must not be undefined.",
    /* 144 */ u"Syntax error at character position %d!",
    /* 145 */
    u"The left parenthesis is missing for the right parenthesis at character position %d!",
    /* 146 */ u"Unexpected end of formula!",
    /* 147 */ u"Overflow at character position %d!",
    /* 148 */ u"Formula is too complicated because too many parentheses are nested!",
    /* 149 */ u"Internal formula error %d occurred!",
    /* 150 */ u"The number of parameters of the function at character position %d is wrong!",
    /* 151 */
    u"The function or number at character position %d requires a complex number type!",
    /* 152 */
    u"The number at character position %d has an invalid format or is out of range!",
    /* 153 */
    u"The function at character position %d is not available for the set number type!",
    /* 154 */ u"Calculation was aborted by the user.",
    /* 155 */ u"The variable at character position %d was not found in the variable table!",
    /* 156 */ u"The variable at character position %d could not be evaluated!",
    /* 157 */ u"Digits",
    /* 158 */ u"Base",
    /* 159 */ u"rational",
    /* 160 */ u"real",
    /* 161 */ u"complex",
    /* 162 */ u"Calculator variables",
    /* 163 */ u"Variables",
    /* 164 */ u"Name",
    /* 165 */ u"Base",
    /* 166 */ u"Value",
    /* 167 */ u"Take name",
    /* 168 */ u"Add variable",
    /* 169 */ u"Insert variable",
    /* 170 */ u"Delete variable",
    /* 171 */ u"Assign result",
    /* 194 */ u"Division by zero at character position %d!",
    /* 195 */ u"Argument outside the domain of the function at character position %d!",
    /* 196 */
    u"Complex argument at character position %d: the function needs a real argument!",
    /* 197 */ u"Underflow at character position %d: a number got too close to zero!",
    // The linear-systems window.
    /* 198 */ u"Cells left out of the pasted block because they lie outside the visible grid: %d",
};
static_assert(std::size(kEnglish) == kMessageCount);

}  // namespace

const char16_t* english_text(MessageId id) {
  return kEnglish[id];
}
