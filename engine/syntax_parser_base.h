#pragma once
// TSyntaxParserBase: the tokenizer under the filter parser. It walks a text token by token;
// a descendant decides what a token is (ReadToken).
//
// Positions are byte offsets into Text. The end of the text is a token of its own (tkEnd);
// a zero byte inside the text is no end but a character that starts no token. Errors are bare
// EDatabaseError messages (no component prefix).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vesk {

enum TTokenKind : std::uint8_t {
    tkEnd = 0,
    tkIdentifier,
    tkFieldName,
    tkNumber,
    tkString,
    tkLParen,
    tkRParen,
    tkEQ,
    tkNE,
    tkGE,
    tkLE,
    tkGT,
    tkLT,
    tkPlus,
    tkMinus,
    tkMul,
    tkDiv,
    tkComma,
    tkLike,
    tkIn,
};

class TSyntaxParserBase {
  public:
    virtual ~TSyntaxParserBase() = default;

    // Text := text; scanning starts at its first character.
    void SetText(std::string text);
    // Moves to the next token: PrevTokenKind := TokenKind, blanks (and one comment) skipped,
    // TokenPtr at the token's start, SourcePtr after it.
    void NextToken();
    // The current token for a message: its characters in single quotes (at most some 60, a byte
    // that is no character escaped, message_excerpt.h), or "nothing" at the end of the text.
    std::string TokenName() const;
    // The current token is an identifier equal to word, ASCII case ignored.
    bool TokenSymbolIs(std::string_view word) const;

    std::string Text;
    std::size_t SourcePtr = 0;
    std::size_t TokenPtr = 0;
    std::string Token;
    TTokenKind TokenKind = tkEnd;
    TTokenKind PrevTokenKind = tkEnd;

  protected:
    // The byte at p, 0 at and past the end. A zero byte inside the text reads as 0 as well:
    // AtEnd tells the two apart.
    char At(std::size_t p) const { return p < Text.size() ? Text[p] : '\0'; }
    bool AtEnd(std::size_t p) const { return p >= Text.size(); }
    // Skips characters 1 to 32 (no comment); returns the position reached.
    std::size_t SkipBlankBytes(std::size_t p) const;
    // Skips characters 1 to 32 and at most one comment ("/*" ... "*/") with the blanks after
    // it; returns the position reached. An unterminated comment, or a "*" inside one, raises
    // "Invalid filter expression character: '%s'".
    virtual std::size_t SkipBlanks(std::size_t p);
    // Reads the token at p (blanks already skipped): sets Token and TokenKind and returns the
    // position after it.
    virtual std::size_t ReadToken(std::size_t p) = 0;
    // Advances p over bytes of chars and over whole multi-byte characters (a byte from $81 to
    // $FE and the UTF-8 continuation bytes that its lead byte announces, never past the end).
    std::size_t SkipChars(std::size_t p, std::string_view chars) const;
    // The length of the UTF-8 character whose lead byte is at p (1 for a byte that leads none,
    // never past the end).
    std::size_t MultiByteLength(std::size_t p) const;
    [[noreturn]] static void InvalidCharacter(std::string_view character);
};

}  // namespace vesk
