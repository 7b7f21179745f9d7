#pragma once
// Permission checks as an ordinary user would meet them, also where the tests run as root (as
// CI does), to whom no permission says no.

#ifndef _WIN32
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace kavo::test {

// The user scripts/test-user.sh creates for make test.
inline constexpr const char* kTestUser = "kavo-test";

// Runs check as it is; as root, in a child process that has become the test user, after folder
// and everything in it were given to that user. The child's failures fail the test.
inline void AsUnprivilegedUser(const std::string& folder, const std::function<void()>& check) {
  if (::geteuid() != 0) {
    check();
    return;
  }
  const passwd* user = ::getpwnam(kTestUser);
  ASSERT_NE(user, nullptr) << "no user " << kTestUser << ": scripts/test-user.sh makes it";
  const uid_t uid = user->pw_uid;
  const gid_t gid = user->pw_gid;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    ASSERT_EQ(::lchown(entry.path().c_str(), uid, gid), 0) << entry.path();
  }
  ASSERT_EQ(::lchown(folder.c_str(), uid, gid), 0) << folder;
  std::fflush(nullptr);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(3);
    check();
    std::fflush(nullptr);
    ::_exit(testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the check as " << kTestUser << " failed (status " << status << ")";
}

}  // namespace kavo::test
#endif
