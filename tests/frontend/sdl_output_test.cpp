// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL2_mixer output, heard through SDL's "disk" driver, which writes
// what the mixer produces to a file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>
#include <tuple>

#include "frontend/sound/sdl_output.h"

namespace cantiere {
namespace {

using namespace std::chrono_literals;

const std::string kSounds = CANTIERE_SOUND_DIR;

class DiskOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    file = dir.filePath("out.raw");
    setenv("SDL_DISKAUDIOFILE", file.toUtf8().constData(), 1);
    unsetenv("SDL_AUDIODRIVER");
  }
  void TearDown() override { unsetenv("SDL_AUDIODRIVER"); }

  // 16-bit samples the mixer wrote from byte `from` on.
  std::vector<int16_t> written(qint64 from = 0) const {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    f.seek(from & ~qint64{3});
    const QByteArray bytes = f.readAll();
    std::vector<int16_t> samples(static_cast<std::size_t>(bytes.size()) / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
  }
  qint64 size() const { return QFileInfo(file).size(); }
  static int peak(const std::vector<int16_t>& s) {
    int p = 0;
    for (int16_t v : s) p = std::max(p, std::abs(int{v}));
    return p;
  }
  std::string sound(const char* name) const { return kSounds + "/" + name; }

  QTemporaryDir dir;
  QString file;
};

SdlOutput::Drivers disk() { return {"disk", "disk"}; }

TEST_F(DiskOutput, APlayedSampleReachesTheOutput) {
  SdlOutput out(disk());
  out.selectOutput(1);
  out.init(22050, 64);
  ASSERT_TRUE(out.isOpen());
  EXPECT_EQ(out.driver(), "disk");
  EXPECT_EQ(Mix_AllocateChannels(-1), 64);
  const SampleHandle over = out.load(sound("Over.wav").c_str());
  ASSERT_NE(over, 0);
  std::this_thread::sleep_for(150ms);
  const qint64 before = size();
  EXPECT_EQ(peak(written()), 0) << "silence before anything plays";
  out.play(over);
  EXPECT_TRUE(QTest::qWaitFor([&] { return peak(written(before)) > 1000; }, 5000));
  out.close();
}

TEST_F(DiskOutput, TwoPlaysSoundTogetherAndStopAllSilencesBoth) {
  SdlOutput out(disk());
  out.selectOutput(2);
  out.init(22050, 64);
  ASSERT_TRUE(out.isOpen());
  const SampleHandle over = out.load(sound("Over.wav").c_str());
  const SampleHandle fall = out.load(sound("Fall.wav").c_str());
  ASSERT_NE(over, 0);
  ASSERT_NE(fall, 0);
  out.play(over);
  out.play(fall);
  out.play(over);  // the same sample again takes a channel of its own
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(Mix_Playing(-1), 3) << "a new play must not cut one that sounds";

  out.stopAll();
  EXPECT_EQ(Mix_Playing(-1), 0);
  std::this_thread::sleep_for(200ms);  // what was already mixed drains
  const qint64 after = size();
  std::this_thread::sleep_for(300ms);
  const std::vector<int16_t> tail = written(after);
  EXPECT_GT(tail.size(), 2000u) << "the output went on running";
  EXPECT_EQ(peak(tail), 0);
  out.close();
}

TEST_F(DiskOutput, ADriverThatCannotOpenFallsBackToSdlsOwnChoice) {
  setenv("SDL_AUDIODRIVER", "disk", 1);  // SDL's own choice here
  SdlOutput out({"no-such-driver", "no-such-driver"});
  out.selectOutput(1);
  out.init(22050, 64);
  ASSERT_TRUE(out.isOpen());
  EXPECT_EQ(out.driver(), "disk");
  EXPECT_EQ(out.openError(), nullptr) << "a fallback that opened is no failure";
  out.close();
}

TEST_F(DiskOutput, NoOutputAtAllFailsTheStartOnTheFirstSample) {
  setenv("SDL_AUDIODRIVER", "also-missing", 1);
  SdlOutput out({"no-such-driver", "no-such-driver"});
  Sound sound(out);
  QDir::setCurrent(QString::fromStdString(kSounds + "/.."));
  EXPECT_FALSE(sound.start(2));
  EXPECT_FALSE(out.isOpen());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  // The device, not the folder, is at fault, and the chosen driver says why.
  EXPECT_EQ(sound.failure(), Sound::Failure::Device);
  EXPECT_EQ(std::string(sound.deviceError()).rfind("no-such-driver: ", 0), 0u) << sound.deviceError();
  sound.release();
}

TEST_F(DiskOutput, StartLoadsFromTheWorkingFolderAndAMissingLaterSampleOnlyStaysSilent) {
  QDir work(dir.path());
  ASSERT_TRUE(work.mkdir("SOUND"));
  for (const char* name : {"Barrel", "Bonus", "Fall", "Jump", "Miss", "OrcoFall", "Over"})
    ASSERT_TRUE(QFile::copy(QString::fromStdString(sound(name) + ".wav"),
                            work.filePath(QStringLiteral("SOUND/%1.wav").arg(name))));
  QDir::setCurrent(work.path());
  SdlOutput out(disk());
  Sound sound(out);
  sound.SoundOn = true;
  ASSERT_TRUE(sound.start(1));
  for (int s = 0; s < SampleCount; ++s)
    EXPECT_EQ(sound.handle(static_cast<Sample>(s)) == 0, s == SndStep) << sampleName(static_cast<Sample>(s));
  sound.Suona(SndStep);  // silent, harmless
  sound.Suona(SndOver);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(Mix_Playing(-1), 1);
  sound.Silenzio();
  EXPECT_EQ(Mix_Playing(-1), 0);
  sound.release();
  EXPECT_FALSE(out.isOpen());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "the device is given back";
}

// Nothing sounding for the rest time gives the device back; the next sound
// opens it again in the format the samples were loaded in. One that cannot
// open loses its sound, never the program, and the next one tries again.
TEST_F(DiskOutput, AQuietDeviceRestsAndTheNextSoundOpensItAgain) {
  SdlOutput out(disk());
  out.restAfter(300);
  out.selectOutput(1);
  out.init(22050, 64);
  ASSERT_TRUE(out.isOpen());
  int rate = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&rate, &format, &channels);
  const SampleHandle over = out.load(sound("Over.wav").c_str());  // 1.86 s
  ASSERT_NE(over, 0);
  out.play(over);
  QTest::qWait(1000);
  EXPECT_FALSE(out.resting()) << "rested while a sound played";
  ASSERT_TRUE(QTest::qWaitFor([&] { return out.resting(); }, 3000));
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "a resting device is given back";
  EXPECT_TRUE(out.isOpen());
  EXPECT_EQ(out.driver(), "disk");
  out.stopAll();  // harmless at rest

  // The device cannot open (its file is a folder): the sound is lost.
  const QString folder = dir.filePath("folder");
  ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
  setenv("SDL_DISKAUDIOFILE", folder.toUtf8().constData(), 1);
  out.play(over);
  EXPECT_TRUE(out.resting());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);

  setenv("SDL_DISKAUDIOFILE", file.toUtf8().constData(), 1);
  out.play(over);
  ASSERT_FALSE(out.resting());
  int rateNow = 0, channelsNow = 0;
  Uint16 formatNow = 0;
  Mix_QuerySpec(&rateNow, &formatNow, &channelsNow);
  EXPECT_EQ(std::tie(rateNow, formatNow, channelsNow), std::tie(rate, format, channels));
  EXPECT_EQ(Mix_AllocateChannels(-1), 64);
  QTest::qWait(400);
  EXPECT_GT(peak(written()), 1000) << "the sample plays after the device opened again";
  out.close();
  EXPECT_FALSE(out.isOpen());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

// A device that goes away under an open mixer (a sound server restarting)
// is noticed at the next sound, said once, and opened again for it. The
// disk driver gives up its device when a write fails, as on /dev/full.
TEST_F(DiskOutput, ADeviceThatWentAwayIsOpenedAgainAtTheNextSound) {
  const std::string link = file.toStdString();
  std::filesystem::create_symlink("/dev/full", link);
  SdlOutput out(disk());
  out.selectOutput(1);
  out.init(22050, 64);
  ASSERT_TRUE(out.isOpen());
  const SampleHandle jump = out.load(sound("Jump.wav").c_str());
  ASSERT_NE(jump, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return out.deviceLost(); }, 5000));

  const std::string heard = dir.filePath("heard.raw").toStdString();
  std::filesystem::remove(link);
  std::filesystem::create_symlink(heard, link);
  testing::internal::CaptureStderr();
  out.play(jump);
  out.play(jump);  // the same device: nothing more to say
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(out.deviceLost());
  EXPECT_FALSE(out.resting());
  EXPECT_NE(said.find("went away"), std::string::npos) << said;
  EXPECT_EQ(said.find("went away"), said.rfind("went away")) << said;
  file = QString::fromStdString(heard);
  EXPECT_TRUE(QTest::qWaitFor([&] { return peak(written()) > 1000; }, 3000))
      << "the sound is heard on the device opened again";
}

// A valid 16-bit mono WAV header for `bytes` of silence, the data itself
// left sparse.
void writeSilentWav(const std::string& path, std::uint32_t bytes) {
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out << "RIFF";
  u32(36 + bytes);
  out << "WAVEfmt ";
  u32(16);
  u16(1);
  u16(1);
  u32(22050);
  u32(44100);
  u16(2);
  u16(16);
  out << "data";
  u32(bytes);
  out.close();
  std::filesystem::resize_file(path, 44 + bytes);
}

TEST_F(DiskOutput, OnlyRegularFilesOfSampleSizeLoad) {
  const std::string folder = dir.filePath("SOUND").toStdString();
  std::filesystem::create_directory(folder);
  const std::string fifo = folder + "/Barrel.wav";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  writeSilentWav(folder + "/Huge.wav", kSampleSizeLimit);
  writeSilentWav(folder + "/Large.wav", kSampleSizeLimit - 44);
  std::filesystem::create_directory(folder + "/Folder.wav");
  SdlOutput out(disk());
  out.selectOutput(1);
  out.init(22050, 64);
  ASSERT_TRUE(out.isOpen());
  auto loaded = std::async(std::launch::async, [&] { return out.load(fifo.c_str()); });
  if (loaded.wait_for(5s) != std::future_status::ready) {
    ::close(::open(fifo.c_str(), O_RDWR | O_NONBLOCK));  // set it free
    FAIL() << "loading a FIFO hangs";
  }
  EXPECT_EQ(loaded.get(), 0);
  EXPECT_EQ(out.load((folder + "/Huge.wav").c_str()), 0) << "one byte over 16 MB";
  EXPECT_EQ(out.load((folder + "/Folder.wav").c_str()), 0);
  EXPECT_NE(out.load((folder + "/Large.wav").c_str()), 0) << "exactly 16 MB";
  out.close();
}

TEST(SdlOutput, ReleasingWhatNeverStartedTouchesNoDevice) {
  SdlOutput out;
  Sound sound(out);
  sound.Suona(SndJump);  // "(no sound)": nothing is on
  sound.Silenzio();
  sound.release();  // eight null handles, then close
  sound.release();
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  EXPECT_FALSE(out.isOpen());
}

}  // namespace
}  // namespace cantiere
