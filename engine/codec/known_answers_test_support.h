#pragma once
// The answers of tests/fixtures/cipher_known_answers.py, an implementation of SHA-0 and of the
// engine's Twofish-based cipher of its own, which first checks itself against the published
// answers. The tests pin their known answers in the source and also compare them with what
// the script prints, so that neither the engine nor the pinned tables can drift from it.
#include <cstdio>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace vesk::testing_answers {

// The script's lines whose first word is kind, each split into its remaining words. Throws
// std::runtime_error when the script cannot run or fails its own check.
inline std::vector<std::vector<std::string>> ScriptAnswers(const std::string& kind) {
    const std::string command = std::string("/usr/bin/python3 ") + ZANTROPE_SOURCE_DIR +
                                "/tests/fixtures/cipher_known_answers.py";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    std::string output;
    char chunk[4096];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe.get())) > 0;)
        output.append(chunk, got);
    if (::pclose(pipe.release()) != 0)
        throw std::runtime_error(command + " failed");
    std::vector<std::vector<std::string>> answers;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first != kind)
            continue;
        std::vector<std::string> rest;
        for (std::string word; words >> word;)
            rest.push_back(word);
        answers.push_back(rest);
    }
    return answers;
}

}  // namespace vesk::testing_answers
