// The calculator engine: the display text, the registers and the commands of the 22 keys.
// One calculator per process, kept as module state; the input handlers call one command per
// key and the display reads DisplayText and Memory on every frame.
#pragma once

#include <stdexcept>
#include <string>

extern char DisplayText[80];
extern double Memory;

// Raised when a command has to convert a display text that is not a number (an error text).
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Operation codes of ApplyOperator and PendingOperation.
enum : int { OpNone = 0, OpAdd = 1, OpSubtract = 2, OpMultiply = 3, OpDivide = 4 };

void InitEngine();
void ClearAll();
void ClearEntry();
void EnterDigit(int digit);
void EnterPoint();
void ChangeSign();
void ApplyOperator(int operation);
void Evaluate();
void MemoryClear();
void MemoryRecall();
void MemoryAdd();
// The error texts the display shows in place of a number; the display draws each as one
// picture.
inline constexpr const char* OverflowText = "OVERFLOW";
inline constexpr const char* DivideByZeroText = "DIVIDE BY 0";
// True while the display shows an error text (OverflowText or DivideByZeroText, with or
// without a sign put in front of it): the one form that is not a number.
bool DisplayShowsError();
// Backspace: removes the last character of an entry being typed; an entry left empty or
// holding only "-" becomes "0". A result or an error text stays as it is.
void DeleteLastCharacter();
// Enters a number given as text (pasted). Blanks around it are ignored; the rest must be one
// number: an optional "-", digits with at most one decimal separator ("," or "."), and
// optionally an exponent ("E" or "e", an optional sign, digits), within 1 MiB. A number that
// fits the ten-digit entry once its leading zeros are dropped is entered as if typed as a
// new entry; any other up to 9999999999 in magnitude is shown as MemoryRecall shows one. False,
// and nothing changed, for any other text or a larger number.
bool EnterNumberText(const std::string& text);

// The engine's number format: decimal comma, 15 significant digits, exponent notation
// outside 0,0001 .. 10^15.
std::string NumberToText(double value);
// Parses an entry or a NumberToText output; throws EConvertError for anything else.
double TextToNumber(const char* text);
// True when a + b, a - b or a * b (codes 1..3) leaves -9999999999..9999999999.
bool CheckOverflow(double a, double b, int operation);

// Read-only views of the registers, for tests and diagnostics.
double EngineAccumulator();
double EngineOperand();
int EnginePendingOperation();
