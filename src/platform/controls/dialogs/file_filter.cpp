#include "platform/controls/dialogs/file_filter.h"

#include <cstddef>

namespace plat {
namespace {

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return std::string(s.substr(b, e - b));
}

std::vector<std::string> Split(std::string_view s, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t at = s.find(sep, start);
    parts.emplace_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) break;
    start = at + 1;
  }
  return parts;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Length of the UTF-8 sequence starting at byte b (1 for stray bytes).
size_t SeqLen(unsigned char b) {
  if (b >= 0xF0 && b < 0xF8) return 4;
  if (b >= 0xE0) return b < 0xF0 ? 3 : 1;
  if (b >= 0xC0) return 2;
  return 1;
}

// Iterative wildcard matching with one backtrack point (linear in practice, never exponential).
bool Match(std::string_view n, std::string_view p) {
  size_t ni = 0, pi = 0;
  size_t starP = std::string_view::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starN = ni;
      continue;
    }
    if (pi < p.size() && p[pi] == '?') {
      size_t len = SeqLen(static_cast<unsigned char>(n[ni]));
      ni += len <= n.size() - ni ? len : 1;
      ++pi;
      continue;
    }
    if (pi < p.size() && Lower(p[pi]) == Lower(n[ni])) {
      ++ni;
      ++pi;
      continue;
    }
    if (starP == std::string_view::npos) return false;
    pi = starP + 1;
    size_t len = SeqLen(static_cast<unsigned char>(n[starN]));
    starN += len <= n.size() - starN ? len : 1;
    ni = starN;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace

std::vector<FilterEntry> ParseFilter(std::string_view filter) {
  std::vector<FilterEntry> out;
  if (filter.empty()) return out;
  std::vector<std::string> parts = Split(filter, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    FilterEntry e;
    e.description = parts[i];
    for (const std::string& pat : Split(parts[i + 1], ';')) {
      std::string t = Trim(pat);
      if (!t.empty()) e.patterns.push_back(t);
    }
    if (e.patterns.empty()) e.patterns.push_back("*");
    out.push_back(std::move(e));
  }
  return out;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  return Match(name, pattern);
}

bool MatchesAnyPattern(std::string_view name, const std::vector<std::string>& patterns) {
  for (const std::string& p : patterns) {
    if (MatchesPattern(name, p)) return true;
  }
  return false;
}

bool HasWildcards(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

std::string PatternExtension(std::string_view pattern) {
  if (pattern.size() < 3 || pattern.substr(0, 2) != "*.") return {};
  std::string_view ext = pattern.substr(2);
  if (HasWildcards(ext) || ext.find('.') != std::string_view::npos) return {};
  return std::string(ext);
}

}  // namespace plat
