#include "support/synthetic_scan.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <random>

#include "fs/exact_names.h"
#include "fs/path_text.h"
#include "list/scan_builder.h"

namespace {

struct Node {
    std::vector<const SyntheticFile*> files;
    std::vector<std::string> fileNames;
    std::vector<std::pair<std::string, std::unique_ptr<Node>>> directories;
};

Node& Child(Node& parent, const std::string& name) {
    for (auto& directory : parent.directories)
        if (directory.first == name)
            return *directory.second;
    parent.directories.emplace_back(name, std::unique_ptr<Node>(new Node));
    return *parent.directories.back().second;
}

std::unique_ptr<Node> BuildTree(const std::vector<SyntheticFile>& files) {
    std::unique_ptr<Node> root(new Node);
    for (const SyntheticFile& file : files) {
        Node* at = root.get();
        size_t start = 0;
        for (size_t cut; (cut = NextDelimiter(file.path, start)) != std::string::npos;
             start = cut + 1)
            at = &Child(*at, file.path.substr(start, cut - start));
        at->files.push_back(&file);
        at->fileNames.push_back(file.path.substr(start));
    }
    return root;
}

std::wstring Wide(const std::string& name) {
    std::wstring wide;
    (void)ToExactWide(name, wide);
    return wide;
}

void Walk(const Node& node, ScanBuilder& builder, FileId& nextId) {
    builder.BeginDirectory();
    for (size_t i = 0; i < node.files.size(); ++i) {
        const SyntheticFile& file = *node.files[i];
        builder.AddFile(node.fileNames[i], Wide(node.fileNames[i]), 1000000 + i, file.created,
                        file.modified, file.accessed);
    }
    for (const auto& directory : node.directories)
        builder.AddSubdirectory(directory.first, Wide(directory.first), nextId++, true);
    const size_t entered = builder.EndListing();
    for (size_t position = 0; position < entered; ++position)
        Walk(*node.directories[builder.Entering(position)].second, builder, nextId);
    builder.EndDirectory();
}

void WalkOrder(const Node& node, const std::string& prefix, std::vector<std::string>& paths) {
    for (const std::string& name : node.fileNames)
        paths.push_back(prefix + name);
    for (const auto& directory : node.directories)
        WalkOrder(*directory.second, prefix + directory.first + "\\", paths);
}

// Names with a running number and a random tail, so their order is not the order made.
struct Generator {
    ScanBuilder& builder;
    size_t rows;
    size_t perDirectory;
    size_t made = 0;
    size_t textBytes = 0;
    std::mt19937 random{7};

    std::string Name(const char* stem, size_t n) {
        return stem + std::to_string(100000 + n) + "_" + std::to_string(random() % 100000) +
               (stem[0] == 'd' ? "" : ".dat");
    }
    void Directory(int depth) {
        builder.BeginDirectory();
        for (size_t i = 0; i < perDirectory && made < rows; ++i, ++made) {
            const std::string name = Name("report_", made);
            textBytes += name.size() + 1;
            builder.AddFile(name, std::wstring(name.begin(), name.end()), 1000000000 + made,
                            40000.5, 40001.25, 40002);
        }
        const int subdirectories = depth < 6 && made < rows ? 10 : 0;
        for (int j = 0; j < subdirectories; ++j) {
            const std::string name = Name("dir_", made + j);
            builder.AddSubdirectory(name, std::wstring(name.begin(), name.end()), made + j + 1,
                                    true);
        }
        const size_t entered = builder.EndListing();
        for (size_t position = 0; position < entered; ++position) {
            builder.Entering(position);
            if (made < rows)
                Directory(depth + 1);
        }
        builder.EndDirectory();
    }
};

} // namespace

size_t FillGenerated(FoundList& scan, const ScanRoot& root, size_t rows, const ListOrder& order,
                     bool flat) {
    scan.Start(root);
    ScanBuilder builder(scan, order);
    Generator generator{builder, rows, flat ? rows : 100};
    while (generator.made < rows) // another tree beside the first until the rows are made
        generator.Directory(0);
    return generator.textBytes;
}

void FillScan(FoundList& scan, const ScanRoot& root, const std::vector<SyntheticFile>& files,
              const ListOrder& order) {
    scan.Start(root);
    ScanBuilder builder(scan, order);
    FileId nextId = 1;
    Walk(*BuildTree(files), builder, nextId);
}

std::vector<std::string> SortedWhole(const std::string& prefix,
                                     const std::vector<SyntheticFile>& files,
                                     const ListOrder& order) {
    std::vector<std::string> paths;
    WalkOrder(*BuildTree(files), prefix, paths);
    std::vector<std::pair<std::string, size_t>> keyed;
    for (size_t i = 0; i < paths.size(); ++i)
        keyed.emplace_back(order.key(paths[i]), i);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return std::strcmp(a.first.c_str(), b.first.c_str()) < 0;
    });
    std::vector<std::string> sorted;
    for (const auto& k : keyed)
        sorted.push_back(paths[k.second]);
    return sorted;
}

std::vector<std::string> FileTexts(const FoundList& scan) {
    std::vector<std::string> texts;
    const RegionalFormats formats;
    for (size_t i = 0; i < scan.Count(); ++i)
        texts.push_back(scan.Text(i, FoundList::File, formats));
    return texts;
}
