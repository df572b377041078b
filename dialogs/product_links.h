#pragma once
// The program's own addresses, which the banner's "Homepage" and "Feedback" and the About box
// open through the shell. They lie under the reserved example.org domain. A mail link opens a
// new message to its address with an empty subject line.
namespace dialogs {

inline constexpr const char* kHomePage = "https://www.example.org/zantrope/";
inline constexpr const char* kProductPage = "https://www.example.org/zantrope/product.html";
inline constexpr const char* kFaqPage = "https://www.example.org/zantrope/faq.html";
inline constexpr const char* kContactMail = "zantrope@example.org";
inline constexpr const char* kContactMailLink = "mailto:zantrope@example.org?subject=";

}  // namespace dialogs
