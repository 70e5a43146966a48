// Built-in numeric functions: rounding, remainders, logarithms, the
// trigonometric functions and the annuity functions FV and PV.
#include <cmath>

#include "xbase/expr/expr_functions.h"

namespace xb {
namespace {

constexpr double kPi = 3.1415926535897932385;

double NumberArg(TxbExpArgs &a, size_t i) { return a.Get(i, ExpType::kNumber).number; }
ExpValue Number(double n) { return ExpValue::Number(n); }

ExpValue Abs(TxbExpArgs &a) { return Number(std::fabs(NumberArg(a, 0))); }
ExpValue Int(TxbExpArgs &a) { return Number(std::trunc(NumberArg(a, 0))); }
ExpValue Floor(TxbExpArgs &a) { return Number(std::floor(NumberArg(a, 0))); }
ExpValue Ceiling(TxbExpArgs &a) { return Number(std::ceil(NumberArg(a, 0))); }
ExpValue Sin(TxbExpArgs &a) { return Number(std::sin(NumberArg(a, 0))); }
ExpValue Cos(TxbExpArgs &a) { return Number(std::cos(NumberArg(a, 0))); }
ExpValue Tan(TxbExpArgs &a) { return Number(std::tan(NumberArg(a, 0))); }
ExpValue Atan(TxbExpArgs &a) { return Number(std::atan(NumberArg(a, 0))); }
ExpValue Dtor(TxbExpArgs &a) { return Number(NumberArg(a, 0) * kPi / 180); }
ExpValue Rtod(TxbExpArgs &a) { return Number(NumberArg(a, 0) * 180 / kPi); }
ExpValue Pi(TxbExpArgs &) { return Number(kPi); }

// The angle of the point (a, b): a on the x axis, b on the y axis.
ExpValue Atn2(TxbExpArgs &a) {
  const double x = NumberArg(a, 0), y = NumberArg(a, 1);
  return Number(std::atan2(y, x));
}

ExpValue Arc(TxbExpArgs &a, double (*f)(double)) {
  const double n = NumberArg(a, 0);
  if (n < -1 || n > 1)
    ThrowExpr("Argument for %s must be %s", a.FunctionName().c_str(), "-1 to +1");
  return Number(f(n));
}
ExpValue Acos(TxbExpArgs &a) {
  return Arc(a, [](double n) { return std::acos(n); });
}
ExpValue Asin(TxbExpArgs &a) {
  return Arc(a, [](double n) { return std::asin(n); });
}

ExpValue Logarithm(TxbExpArgs &a, double (*f)(double)) {
  const double n = NumberArg(a, 0);
  if (n <= 0) ThrowExpr("Argument for %s must be %s", a.FunctionName().c_str(), "> 0");
  return Number(f(n));
}
ExpValue Log(TxbExpArgs &a) {
  return Logarithm(a, [](double n) { return std::log(n); });
}
ExpValue Log10(TxbExpArgs &a) {
  return Logarithm(a, [](double n) { return std::log10(n); });
}

// The remainder of the truncated operands, with the sign of the first.
ExpValue Mod(TxbExpArgs &a) {
  const double x = std::trunc(NumberArg(a, 0)), y = std::trunc(NumberArg(a, 1));
  if (y == 0) ThrowExpr("Division by zero in %s", "MOD");
  return Number(std::fmod(x, y));
}

ExpValue Round(TxbExpArgs &a) {
  const double n = NumberArg(a, 0);
  return Number(RoundToDecimals(n, a.Present(1) ? IntegerArg(a, 1) : 0));
}

// The shared part of FV and PV: the arguments and the compound and annuity
// factors.
struct Annuity {
  double payment, rate, periods, value, time;
  double compound, annuity;
};

Annuity ReadAnnuity(TxbExpArgs &a, const char *invalid_rate) {
  Annuity r{};
  r.payment = NumberArg(a, 0);
  r.rate = NumberArg(a, 1);
  r.periods = static_cast<double>(IntegerArg(a, 2));
  r.value = a.Present(3) ? NumberArg(a, 3) : 0;
  r.time = a.Present(4) ? static_cast<double>(IntegerArg(a, 4)) : 0;
  if (r.time != 0 && r.time != 1)
    ThrowExpr("Argument for %s must be %s", "FV PaymentTime", "0 or 1");
  if (r.rate <= -1) ThrowExpr("%s", invalid_rate);
  if (r.rate == 0) {
    r.compound = 1;
    r.annuity = r.periods;
  } else if (std::fabs(r.rate) < 6.1E-5) {
    r.compound = std::exp(r.periods * std::log(1 + r.rate));
    r.annuity = r.periods * (1 + r.rate * (r.periods - 1) / 2);
  } else {
    r.compound = std::pow(1 + r.rate, r.periods);
    r.annuity = (r.compound - 1) / r.rate;
  }
  if (r.rate != 0 && r.time == 1) r.annuity *= 1 + r.rate;
  return r;
}

ExpValue Fv(TxbExpArgs &a) {
  const Annuity r = ReadAnnuity(a, "FutureValue");
  if (r.compound > 1E16) ThrowExpr("FutureValue");
  return Number(std::fabs(-r.payment * r.annuity - r.value * r.compound));
}

// The formula holds for every finite compound factor; only when that factor
// overflows is the limit p * (1 + r * t) / r used.
ExpValue Pv(TxbExpArgs &a) {
  const Annuity r = ReadAnnuity(a, "PresentValue");
  if (!std::isfinite(r.compound) || !std::isfinite(r.annuity))
    return Number(std::fabs(r.payment * (1 + r.rate * r.time) / r.rate));
  return Number(std::fabs((-r.payment * r.annuity - r.value) / r.compound));
}

}  // namespace

void RegisterMathFunctions(TxbFunctionReg &reg) {
  AddBuiltin(reg, "ABS", Abs);
  AddBuiltin(reg, "ACOS", Acos);
  AddBuiltin(reg, "ASIN", Asin);
  AddBuiltin(reg, "ATAN", Atan);
  AddBuiltin(reg, "ATN2", Atn2);
  AddBuiltin(reg, "CEILING", Ceiling);
  AddBuiltin(reg, "COS", Cos);
  AddBuiltin(reg, "DTOR", Dtor);
  AddBuiltin(reg, "FLOOR", Floor);
  AddBuiltin(reg, "FV", Fv);
  AddBuiltin(reg, "INT", Int);
  AddBuiltin(reg, "LOG", Log);
  AddBuiltin(reg, "LOG10", Log10);
  AddBuiltin(reg, "MOD", Mod);
  AddBuiltin(reg, "PI", Pi);
  AddBuiltin(reg, "PV", Pv);
  AddBuiltin(reg, "ROUND", Round);
  AddBuiltin(reg, "RTOD", Rtod);
  AddBuiltin(reg, "SIN", Sin);
  AddBuiltin(reg, "TAN", Tan);
}

}  // namespace xb
