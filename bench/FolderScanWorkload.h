#pragma once
// The tree and the definition set the Folder Scan benchmarks walk, shared by the native program
// (the tree in a fake machine) and the Windows one (the tree on disk), so both measure the same
// work and expect the same hits.
//
// The tree: root\vendorA\productB\moduleC with 10 vendors, 10 products each and 100 modules
// each (10,110 folders), and 10 files in every module (100,000 files), named file0 to file99999
// with a few common extensions, so every file name occurs once.
//
// The definitions: 100,001 file records and 100,001 folder records. A few hundred name a file
// or folder of the tree at a place the scan accepts (the hits), as many name one at a place it
// rejects (the look-alikes, which cost a look-up but are never reported), and the rest name
// nothing in the tree.

#include <array>
#include <string>
#include <vector>

namespace qm::bench {

struct FolderScanWorkload {
    static constexpr int kVendors = 10;
    static constexpr int kProducts = 10;  // per vendor
    static constexpr int kModules = 100;  // per product
    static constexpr int kFilesPerModule = 10;
    static constexpr int kModuleFolders = kVendors * kProducts * kModules;
    static constexpr int kFolders = kVendors + kVendors * kProducts + kModuleFolders;
    static constexpr int kFiles = kModuleFolders * kFilesPerModule;
    static constexpr int kRecords = 100001;  // per table, its capacity

    static constexpr int kFileHits = 300;
    static constexpr int kFileLookalikes = 300;
    static constexpr int kFolderHits = 200;
    static constexpr int kFolderLookalikes = 200;
    static constexpr int kExpectedHits = kFileHits + kFolderHits;

    // Every folder and file below the root, each folder before its content.
    // `root` has no trailing "\".
    template <typename OnFolder, typename OnFile>
    static void ForEachEntry(const std::string& root, OnFolder onFolder, OnFile onFile) {
        for (int a = 0; a < kVendors; ++a) {
            const std::string vendor = root + "\\vendor" + std::to_string(a);
            onFolder(vendor);
            for (int b = 0; b < kProducts; ++b) {
                const std::string product = vendor + "\\product" + std::to_string(b);
                onFolder(product);
                for (int c = 0; c < kModules; ++c) {
                    const std::string module = product + "\\module" + std::to_string(c);
                    onFolder(module);
                    const int k = ModuleIndex(a, b, c);
                    for (int m = 0; m < kFilesPerModule; ++m) {
                        onFile(module + "\\" + FileName(k * kFilesPerModule + m));
                    }
                }
            }
        }
    }

    // The file record lines. `rootBelowDrive` is the root without its drive, starting with "\"
    // (such as "\qmtree"), so "[drive]" & it names the root on whatever drive is walked.
    static std::vector<std::string> FileRecords(const std::string& rootBelowDrive) {
        std::vector<std::string> lines;
        lines.reserve(kRecords);
        for (int h = 0; h < kFileHits; ++h) {
            const int n = h * 333 + 7;
            const int k = n / kFilesPerModule;
            // Half name the module's whole path, half only its last two folders under another
            // parent: the scan accepts both, as two shared trailing folder names are enough.
            const std::string place = h % 2 == 0 ? "[drive]" + rootBelowDrive + ModulePath(k)
                                                 : "[drive]\\Elsewhere" + LastTwoFolders(k);
            lines.push_back(FileName(n) + "=Bench File Threat " + std::to_string(h) + "|" + place +
                            "|Adware");
        }
        for (int h = 0; h < kFileLookalikes; ++h) {
            // A file of the tree, recorded under folders that share no name with its own.
            const int n = h * 333 + 100;
            lines.push_back(FileName(n) + "=Bench File Lookalike " + std::to_string(h) +
                            "|[drive]\\Elsewhere\\other" + std::to_string(h) + "\\place|Adware");
        }
        for (int i = static_cast<int>(lines.size()); i < kRecords; ++i) {
            const std::string n = std::to_string(i);
            static constexpr std::array<const char*, 3> kPlaces = {
                "[drive]\\Tools\\Vendor", "[progfil]Vendor", "[appdata]Vendor"};
            lines.push_back("absent" + n + ".dll=Bench Absent File " + n + "|" +
                            kPlaces[static_cast<std::size_t>(i % 3)] + n + "\\bin|" +
                            (i % 7 == 0 ? "TYPE" : "Adware"));
        }
        return lines;
    }

    // The folder record lines, by default all of the form
    // "name=threat|[drive]\path\to\name|category". With `absentUnderDrive` false the records that
    // name nothing in the tree use folder tokens
    // ("[progfil]", "[appdata]") instead, which the load expands to whole paths: that tells how
    // much of the scan's cost comes from the "[drive]" records alone.
    static std::vector<std::string> FolderRecords(const std::string& rootBelowDrive,
                                                  bool absentUnderDrive = true) {
        std::vector<std::string> lines;
        lines.reserve(kRecords);
        for (int h = 0; h < kFolderHits; ++h) {
            const int k = h * 50 + 3;
            lines.push_back("module" + std::to_string(k % kModules) + "=Bench Folder Threat " +
                            std::to_string(h) + "|[drive]" + rootBelowDrive + ModulePath(k) +
                            "|Toolbar");
        }
        for (int h = 0; h < kFolderLookalikes; ++h) {
            // A folder of the tree by name, recorded under a parent the tree does not have.
            const int k = h * 50 + 28;
            lines.push_back("module" + std::to_string(k % kModules) + "=Bench Folder Lookalike " +
                            std::to_string(h) + "|[drive]\\Elsewhere" + ModulePath(k) + "|Toolbar");
        }
        for (int i = static_cast<int>(lines.size()); i < kRecords; ++i) {
            const std::string n = std::to_string(i);
            const char* place = !absentUnderDrive ? (i % 2 ? "[progfil]" : "[appdata]")
                                                  : "[drive]\\Program Files\\";
            lines.push_back("VendorApp" + n + "=Bench Absent Folder " + n + "|" + place +
                            "VendorApp" + n + "|Adware");
        }
        return lines;
    }

    // The other required files, small: the scan of a folder reads none of them but the
    // protected locations, which it rebuilds at every start.
    static std::vector<std::string> SafetyLines() {
        return {"SDIR|Windows=|[windir]", "SDIR|System=|[system]",
                "SFILE|Explorer=|[windir]explorer.exe",
                "SREG|Run key=|2^SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"};
    }
    static std::vector<std::string> RegistryLines() {
        return {"2^SOFTWARE\\Bench Vendor^=Bench Key|Adware"};
    }
    static std::vector<std::string> ExeLines() {
        return {"benchexe.exe=Bench Exe|[windir]|Adware"};
    }
    static std::vector<std::string> CookieLines() { return {"bench-tracker.example"}; }

  private:
    static int ModuleIndex(int a, int b, int c) { return (a * kProducts + b) * kModules + c; }
    static std::string FileName(int n) {
        static constexpr std::array<const char*, 5> kExtensions = {".dll", ".exe", ".txt", ".dat",
                                                                   ".ini"};
        return "file" + std::to_string(n) + kExtensions[static_cast<std::size_t>(n % 5)];
    }
    // "\vendorA\productB\moduleC" of module k.
    static std::string ModulePath(int k) {
        return "\\vendor" + std::to_string(k / (kModules * kProducts)) + LastTwoFolders(k);
    }
    // "\productB\moduleC" of module k.
    static std::string LastTwoFolders(int k) {
        const int c = k % kModules, b = (k / kModules) % kProducts;
        return "\\product" + std::to_string(b) + "\\module" + std::to_string(c);
    }
};

}  // namespace qm::bench
