// Sorts the lines of a file with lstrcmpA, the order the found-file list must keep, so the
// tests' oracle need not imitate the locale's collation. Usage: lstrcmp_sort IN OUT
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpA(a.c_str(), b.c_str()) < 0;
    });
    std::ofstream out(argv[2], std::ios::binary);
    for (const std::string& line : lines)
        out << line << '\n';
    return 0;
}
