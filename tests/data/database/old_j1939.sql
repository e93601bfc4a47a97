-- A project written by an older tool: line 1 is a J1939 line whose SPN table predates the
-- direction column. The reading tests add the version, the line type and the rows.
begin;
create table Strings (id integer primary key, string text);
insert into Strings values(1, 'CCVS'), (2, 'Wheel speed'), (3, 'EEC1');
create table Nodes (nodeId integer primary key, name text, edspath text, xddpath text);
insert into Nodes values(0, 'device', '', ''), (1, 'engine', '', '');
create table GeneralSettings (item text unique, value text);
insert into GeneralSettings values('line0type', '1');
create table MiscSettings (item text unique, value text);
insert into MiscSettings values('CreateToolVersion', 'J1939 Nodewright');
create table Objects0 (objectindex integer primary key, name integer, datatype integer not null, objecttype integer not null);
create table SubObjects0 (objectindex integer not null, subindex integer not null, name integer, datatype integer not null, accesstype text not null, implementation integer not null);
create table Objects1 as select * from Objects0;
create table SubObjects1 as select * from SubObjects0;
create table PGNs1 (number integer not null, edp_dp_key integer, priority integer, cycletime_ms integer, inhibittime_ms integer, mappingcount integer, direction integer, name integer, desc integer);
create table SPNs1 (pgnnumber integer not null, spnnumber integer not null, datatype integer, implementation integer, varname text, defaultvalue text, name integer, desc integer, pos integer, bitsize integer);
commit;
