#include "engine/syntax_parser_base.h"

#include "engine/db_error.h"
#include "engine/message_excerpt.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

bool IsBlankByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

}  // namespace

void TSyntaxParserBase::SetText(std::string text) {
    Text = std::move(text);
    SourcePtr = 0;
    TokenPtr = 0;
    Token.clear();
    TokenKind = tkEnd;
    PrevTokenKind = tkEnd;
}

void TSyntaxParserBase::NextToken() {
    PrevTokenKind = TokenKind;
    Token.clear();
    const std::size_t p = SkipBlanks(SourcePtr);
    TokenPtr = p;
    SourcePtr = ReadToken(p);
}

std::string TSyntaxParserBase::TokenName() const {
    if (SourcePtr <= TokenPtr)
        return "nothing";
    return "'" + MessageExcerpt(std::string_view(Text).substr(TokenPtr, SourcePtr - TokenPtr)) +
           "'";
}

bool TSyntaxParserBase::TokenSymbolIs(std::string_view word) const {
    return TokenKind == tkIdentifier && os::CompareAnsiText(Token, word, true) == 0;
}

std::size_t TSyntaxParserBase::SkipBlankBytes(std::size_t p) const {
    while (!AtEnd(p) && IsBlankByte(At(p)))
        ++p;
    return p;
}

std::size_t TSyntaxParserBase::SkipBlanks(std::size_t p) {
    p = SkipBlankBytes(p);
    if (At(p) != '/' || At(p + 1) != '*')
        return p;
    // One comment: up to the first "*", which must close it.
    std::size_t star = Text.find('*', p + 2);
    if (star == std::string::npos)
        InvalidCharacter({});
    if (At(star + 1) != '/')
        InvalidCharacter(std::string_view(Text).substr(star, 1));
    return SkipBlankBytes(star + 2);
}

std::size_t TSyntaxParserBase::MultiByteLength(std::size_t p) const {
    const auto lead = static_cast<unsigned char>(At(p));
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    // Only the continuation bytes that are there count.
    std::size_t taken = 1;
    while (taken < length && !AtEnd(p + taken) &&
           (static_cast<unsigned char>(At(p + taken)) & 0xC0) == 0x80)
        ++taken;
    return taken;
}

std::size_t TSyntaxParserBase::SkipChars(std::size_t p, std::string_view chars) const {
    while (!AtEnd(p)) {
        const char c = At(p);
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x81 && byte <= 0xFE)
            p += MultiByteLength(p);
        else if (c != '\0' && chars.find(c) != std::string_view::npos)
            ++p;
        else
            break;
    }
    return p;
}

void TSyntaxParserBase::InvalidCharacter(std::string_view character) {
    throw EDatabaseError(
        FormatMessage("Invalid filter expression character: '%s'", MessageExcerpt(character)));
}

}  // namespace vesk
