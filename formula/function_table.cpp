// The table of built-in names and its two lookups.
#include "formula/tokens.h"

const FunctionRow kFunctionTable[kFunctionTableRows] = {
    {u"sqrt", kFnSqrt, 1},     {u"cbrt", kFnCbrt, 1},   {u"ln", kFnLn, 1},
    {u"log2", kFnLog2, 1},     {u"log10", kFnLog10, 1}, {u"exp", kFnExp, 1},
    {u"abs", kFnAbs, 1},       {u"sin", kFnSin, 1},     {u"cos", kFnCos, 1},
    {u"tan", kFnTan, 1},       {u"asin", kFnAsin, 1},   {u"acos", kFnAcos, 1},
    {u"atan", kFnAtan, 1},     {u"sind", kFnSind, 1},   {u"cosd", kFnCosd, 1},
    {u"tand", kFnTand, 1},     {u"asind", kFnAsind, 1}, {u"acosd", kFnAcosd, 1},
    {u"atand", kFnAtand, 1},   {u"sing", kFnSing, 1},   {u"cosg", kFnCosg, 1},
    {u"tang", kFnTang, 1},     {u"asing", kFnAsing, 1}, {u"acosg", kFnAcosg, 1},
    {u"atang", kFnAtang, 1},   {u"sinh", kFnSinh, 1},   {u"cosh", kFnCosh, 1},
    {u"tanh", kFnTanh, 1},     {u"asinh", kFnAsinh, 1}, {u"acosh", kFnAcosh, 1},
    {u"atanh", kFnAtanh, 1},   {u"fact", kFnFact, 1},   {u"root", kFnRoot, 2},
    {u"sqrtc", kFnSqrtc, 2},   {u"cbrtc", kFnCbrtc, 2}, {u"rootc", kFnRootc, 3},
    {u"arg", kFnArg, 1},       {u"argd", kFnArgd, 1},   {u"argg", kFnArgg, 1},
    {u"realp", kFnRealp, 1},   {u"imagp", kFnImagp, 1}, {u"\u03C0", kTokPi, 0},
    {u"pi", kTokPi, 0},        {u"trunc", kFnTrunc, 1}, {u"frac", kFnFrac, 1},
    {u"ncr", kFnNcr, 2},       {u"npr", kFnNpr, 2},     {u"mod", kTokMod, 65535},
    {u"logx", kFnLogx, 2},     {u"gcd", kFnGcd, 2},     {u"lcm", kFnLcm, 2},
    {u"powmod", kFnPowmod, 3}, {u"round", kFnRound, 1},
};

const FunctionRow* lookup_function(std::uint32_t code) {
  for (const FunctionRow& row : kFunctionTable) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

const FunctionRow* find_function_name(const char16_t* text, std::int64_t length) {
  // The longest name has 6 characters; longer runs are identifiers.
  if (length <= 0 || length > 6) return nullptr;
  for (const FunctionRow& row : kFunctionTable) {
    std::int64_t i = 0;
    while (i < length && row.name[i] == text[i]) ++i;
    if (i == length && row.name[i] == 0) return &row;
  }
  return nullptr;
}
