#pragma once
// The data module: the database component of "all.dat" and the thirteen table components
// through which every part of the program reaches stored data. Creating it opens nothing; the
// main window's first show gives VeskDatabase1 its file and connects it, and points Tftpb at
// "FTPBookmark.dat".
//
// One Tdm may exist at a time: its database carries the database name "123" in the default
// session, and a second one would be refused as a duplicate name.
#include <memory>

#include "engine/database.h"
#include "engine/dataset/vesk_table.h"

class Tdm {
  public:
    Tdm();
    ~Tdm();
    Tdm(const Tdm&) = delete;
    Tdm& operator=(const Tdm&) = delete;

    // Declared first: the tables are closed and freed before their database.
    std::unique_ptr<vesk::TVeskDatabase> VeskDatabase1;
    std::unique_ptr<vesk::TVeskTable> Tftpsite;
    std::unique_ptr<vesk::TVeskTable> Toption;
    std::unique_ptr<vesk::TVeskTable> Tproxy;
    std::unique_ptr<vesk::TVeskTable> Tsocks;
    std::unique_ptr<vesk::TVeskTable> Tantiidle;
    std::unique_ptr<vesk::TVeskTable> Tascext;
    std::unique_ptr<vesk::TVeskTable> Thm;
    std::unique_ptr<vesk::TVeskTable> Thd;
    std::unique_ptr<vesk::TVeskTable> Ttask;
    std::unique_ptr<vesk::TVeskTable> Ttaskd;
    std::unique_ptr<vesk::TVeskTable> Ttaskd2;
    std::unique_ptr<vesk::TVeskTable> Tquick;
    // No database or table name until the first show.
    std::unique_ptr<vesk::TVeskTable> Tftpb;
};

// The data module of the running program (null before it is created and after it is freed).
extern Tdm* dm;
