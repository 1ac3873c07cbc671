// Writes the archive of the unpacking tests whose members try to leave the
// folder they are unpacked into: escape_archive_gen OUT
#include <fstream>
#include <iostream>

#include "quorvale/payload/rar_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: escape_archive_gen OUT\n";
    return 2;
  }
  const std::string archive = quorvale::MakeRarArchive({
      {"..\\..\\outside.txt", false, "up two folders"},
      {"C:\\rooted.txt", false, "at the drive root"},
      {"inside.txt", false, "in the folder"},
      {"MailCtrl.asp", false, "the last file"},
  });
  std::ofstream out(argv[1], std::ios::binary);
  out << archive;
  return out ? 0 : 1;
}
