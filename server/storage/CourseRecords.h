#pragma once

#include <string>
#include <vector>

// What the author tools read from a server's database without changing it: the course's
// secret that students' variants are drawn with, and the accounts. An SQLite file is opened
// read-only and never made when it is missing; a PostgreSQL database is only read (its
// password comes from PGPASSFILE). A database the server has not yet given a secret is
// refused, for there are no variants in it to show.
struct CourseRecords {
    std::string secret;
    std::vector<std::string> accounts; // UTF-8 names, in order
};

// Throws StoreError (CannotOpen) with the reason when the database cannot be read.
CourseRecords ReadCourseRecords(const std::string& location);
