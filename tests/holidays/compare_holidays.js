// Compares the core's Japanese holidays with the independent list of the npm
// package @holiday-jp/holiday_jp (drawn from the Cabinet Office's list), every
// date of every year from 1970 to 2050 that the package covers, both ways:
// each holiday of one must be a holiday of the other, under the same name.
//
//   node compare_holidays.js PRINT_HOLIDAYS NODE_MODULES
//
// PRINT_HOLIDAYS is the native program that prints the core's holidays;
// NODE_MODULES is where scripts/deps.sh installed the package.
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const path = require('path');

const kFirstYear = 1970;
const kLastYear = 2050;

const [printHolidays, nodeModules] = process.argv.slice(2);
if (!printHolidays || !nodeModules) {
  console.error('usage: node compare_holidays.js PRINT_HOLIDAYS NODE_MODULES');
  process.exit(2);
}

const packageDir = path.join(nodeModules, '@holiday-jp', 'holiday_jp');
if (!fs.existsSync(packageDir)) {
  console.error(`${packageDir} is missing: scripts/test.sh installs it (ombrel_install_node_packages)`);
  process.exit(1);
}
const pinned = require('./package.json').dependencies['@holiday-jp/holiday_jp'];
const installed = require(path.join(packageDir, 'package.json')).version;
if (installed !== pinned) {
  console.error(`@holiday-jp/holiday_jp ${installed} is installed, ${pinned} is pinned`);
  process.exit(1);
}

// The years the package's data covers: one file each in holidays_every_year.
const coveredYears = fs
  .readdirSync(path.join(packageDir, 'lib', 'holidays_every_year'))
  .map((name) => /^(\d{4})\.js$/.exec(name))
  .filter(Boolean)
  .map((match) => Number(match[1]));
const firstYear = Math.max(kFirstYear, Math.min(...coveredYears));
const lastYear = Math.min(kLastYear, Math.max(...coveredYears));
for (let year = firstYear; year <= lastYear; ++year) {
  if (!coveredYears.includes(year)) {
    console.error(`the package has no data for ${year}`);
    process.exit(1);
  }
}

// The package names a substitute holiday after the holiday it stands for
// ("元日 振替休日"), a citizens' holiday "休日", and the two enthronement days
// of 2019 "休日（祝日扱い）"; the core names them as the law does. 2019's
// 体育の日 carries the name it took the next year.
function packageNameAsCore(date, name) {
  if (name.endsWith(' 振替休日')) return '振替休日';
  if (name === '休日') return '国民の休日';
  if (name === '休日（祝日扱い）') return date === '2019-05-01' ? '即位の日' : '即位礼正殿の儀';
  if (name === '体育の日（スポーツの日）') return '体育の日';
  return name;
}

const theirs = new Map();
for (const [date, holiday] of Object.entries(require(path.join(packageDir, 'lib', 'holidays.js')))) {
  const year = Number(date.slice(0, 4));
  if (year >= firstYear && year <= lastYear) theirs.set(date, packageNameAsCore(date, holiday.name));
}

const ours = new Map();
const printed = childProcess.execFileSync(printHolidays, [String(firstYear), String(lastYear)], {
  encoding: 'utf8',
});
for (const line of printed.split('\n').filter((text) => text.length > 0)) {
  const [date, name] = line.split('\t');
  ours.set(date, name);
}

const differences = [];
for (const [date, name] of ours) {
  if (!theirs.has(date)) differences.push(`${date} ${name}: a holiday in the core only`);
  else if (theirs.get(date) !== name) differences.push(`${date}: the core says ${name}, the package ${theirs.get(date)}`);
}
for (const [date, name] of theirs) {
  if (!ours.has(date)) differences.push(`${date} ${name}: a holiday in the package only`);
}

console.log(
  `compared ${firstYear} to ${lastYear} (the package @holiday-jp/holiday_jp ${installed} covers ` +
    `${Math.min(...coveredYears)} to ${Math.max(...coveredYears)}): ${ours.size} holidays in the core, ` +
    `${theirs.size} in the package`,
);
if (ours.size === 0 || theirs.size === 0) {
  console.error('one side has no holidays at all');
  process.exit(1);
}
for (const difference of differences) console.error(difference);
console.log(`${differences.length} dates differ`);
process.exit(differences.length === 0 ? 0 : 1);
